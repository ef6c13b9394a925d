// The timeline: the time ruler, the filmstrip of thumbnails, zoomable, with the playhead, the
// in and out points and the selection between them, the still stretches hatched, and the
// key-frame blocks as a bar beneath.
// The wheel scrolls the strip; Ctrl+wheel zooms around the pointer, the buttons around the
// playhead. The mouse's work on the strip is in strip-pointer.js.
import { state, update, onUpdate, selection, clearError } from '../store.js';
import { framesToSeconds } from '../time.js';
import { pixelsPerFrame, xOf, zoomBy, resetZoom } from './strip-scale.js';
import { layoutThumbs } from './filmstrip.js';
import { layoutStill } from './still-marks.js';
import { renderRuler } from './ruler.js';
import { initStripPointer } from './strip-pointer.js';

const strip = document.getElementById('strip');
const content = document.getElementById('strip-content');
const blocks = document.getElementById('blocks');
const range = document.getElementById('range');
const playhead = document.getElementById('playhead');
const selectionText = document.getElementById('selection');
const kWheelZoom = 1.25; // zoom factor of one wheel notch

function layoutBlocks() {
  blocks.replaceChildren();
  if (!state.movie) return;
  const scale = pixelsPerFrame();
  const starts = state.movie.keyFrames;
  starts.forEach((start, i) => {
    const end = i + 1 < starts.length ? starts[i + 1] : state.movie.frames + 1;
    const block = document.createElement('div');
    block.style.left = `${(start - 1) * scale}px`;
    block.style.width = `${(end - start) * scale}px`;
    block.title = `key-frame block from frame ${start}`;
    blocks.append(block);
  });
}

function layout() {
  content.style.width = `${(state.movie?.frames ?? 0) * pixelsPerFrame()}px`;
  layoutThumbs();
  layoutBlocks();
  layoutStill();
  renderRuler();
  showPlayhead({ follow: false });
  showSelection();
}

function showSelection() {
  const chosen = selection();
  range.hidden = !chosen;
  if (!chosen) {
    selectionText.textContent = 'no selection';
    return;
  }
  const scale = pixelsPerFrame();
  range.style.left = `${(chosen.first - 1) * scale}px`;
  range.style.width = `${(chosen.last - chosen.first + 1) * scale}px`;
  const seconds = framesToSeconds(chosen.last - chosen.first + 1, state.movie.frameRate);
  selectionText.textContent = `frames ${chosen.first}–${chosen.last} (${seconds.toFixed(3)} s)`;
}

// The playhead; when it moves (playing, a key, the go-to field) the strip keeps it in view.
function showPlayhead({ follow = true } = {}) {
  const x = xOf(state.frame);
  playhead.style.left = `${x}px`;
  if (follow && (x < strip.scrollLeft || x > strip.scrollLeft + strip.clientWidth)) {
    strip.scrollLeft = x - (state.playing ? 0 : strip.clientWidth / 2);
  }
}

// Zooms by factor keeping the frame at anchor (pixels from the strip's left edge) in place;
// without an anchor, around the playhead, brought to the middle.
export function setZoom(factor, anchor) {
  const position = anchor === undefined ? state.frame - 1 : (strip.scrollLeft + anchor) / pixelsPerFrame();
  zoomBy(factor);
  content.style.width = `${(state.movie?.frames ?? 0) * pixelsPerFrame()}px`;
  strip.scrollLeft = position * pixelsPerFrame() - (anchor ?? strip.clientWidth / 2);
  layout();
}

export function setInPoint() {
  update({ inPoint: state.frame });
  clearError();
}

export function setOutPoint() {
  update({ outPoint: state.frame });
  clearError();
}

export function clearSelection() {
  update({ inPoint: null, outPoint: null });
}

function onWheel(e) {
  e.preventDefault();
  if (e.ctrlKey) {
    setZoom(e.deltaY < 0 ? kWheelZoom : 1 / kWheelZoom, e.clientX - strip.getBoundingClientRect().left);
  } else {
    strip.scrollLeft += Math.abs(e.deltaX) > Math.abs(e.deltaY) ? e.deltaX : e.deltaY;
  }
}

export function initTimeline() {
  initStripPointer();
  document.getElementById('zoom-in').addEventListener('click', () => setZoom(2));
  document.getElementById('zoom-out').addEventListener('click', () => setZoom(0.5));
  document.getElementById('set-in').addEventListener('click', setInPoint);
  document.getElementById('set-out').addEventListener('click', setOutPoint);
  strip.addEventListener('wheel', onWheel, { passive: false });
  let scrollPending = false;
  strip.addEventListener('scroll', () => {
    if (scrollPending) return;
    scrollPending = true;
    requestAnimationFrame(() => {
      scrollPending = false;
      layoutThumbs({ scrolled: true });
      renderRuler();
    });
  });
  window.addEventListener('resize', layout);
  onUpdate((changed) => {
    if (changed.has('movie')) {
      resetZoom();
      layout();
      return;
    }
    if (changed.has('still')) layoutStill();
    if (changed.has('frame')) showPlayhead();
    if (changed.has('inPoint') || changed.has('outPoint')) showSelection();
  });
}
