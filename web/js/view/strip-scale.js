// Where frames sit on the filmstrip: frame f covers the pixels from (f - 1)·p to f·p of the
// strip's content, p the pixels per frame at the current zoom (zoom 1: the whole movie fits
// the strip's width).
import { clampFrame, lastFrame } from '../store.js';

const strip = document.getElementById('strip');
const kMaxPixelsPerFrame = 160;

let zoom = 1;

export function pixelsPerFrame() {
  return (strip.clientWidth / lastFrame()) * zoom;
}

export function frameAt(x) {
  return clampFrame(Math.floor(x / pixelsPerFrame()) + 1);
}

export function xOf(frame) {
  return (frame - 1) * pixelsPerFrame();
}

// Multiplies the zoom by factor, kept between the whole movie and kMaxPixelsPerFrame.
export function zoomBy(factor) {
  const fit = strip.clientWidth / lastFrame();
  zoom = Math.max(1, Math.min(kMaxPixelsPerFrame / fit, zoom * factor));
}

export function resetZoom() {
  zoom = 1;
}
