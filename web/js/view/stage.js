// Where the viewer's frame is shown. #frame holds the frame at its own size, exactly as the
// player renders it. Fitted to the stage, a frame larger than the stage is shown as a copy
// scaled down smoothly (#scaled, resampled at high quality, so that small text stays legible),
// a smaller one enlarged by a whole factor, each pixel a square of pixels; at 1:1 #frame itself
// shows, scrolled.
// Full screen gives the viewer panel the whole screen.
const panel = document.getElementById('viewer-panel');
const stage = document.getElementById('stage');
const frame = document.getElementById('frame');
const scaled = document.getElementById('scaled');
const scaledContext = scaled.getContext('2d');
const actualSize = document.getElementById('actual-size');

let oneToOne = false;

// The stage's size in device pixels and the scale that fits the frame into it.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const scale = Math.min(stage.clientWidth * ratio / frame.width, stage.clientHeight * ratio / frame.height);
  return { ratio, scale: scale > 0 ? scale : 1 };
}

function usesScaledCopy() {
  return !oneToOne && fit().scale < 1;
}

// Draws #frame's picture into the scaled copy when that is what shows. High quality costs a
// large frame some 15 ms: playing faster than the movie's rate (a frame every 8 to 33 ms) takes
// plain bilinear, and the frame is drawn again at high quality when playback stops.
export function present({ fast = false } = {}) {
  if (!usesScaledCopy()) return;
  scaledContext.imageSmoothingEnabled = true;
  scaledContext.imageSmoothingQuality = fast ? 'low' : 'high';
  scaledContext.drawImage(frame, 0, 0, scaled.width, scaled.height);
}

export function layoutStage() {
  const { ratio, scale } = fit();
  const shown = oneToOne ? 1 : scale < 1 ? scale : Math.floor(scale);
  const copy = usesScaledCopy();
  scaled.hidden = !copy;
  frame.hidden = copy;
  stage.classList.toggle('actual-size', oneToOne);
  const width = Math.max(1, Math.round(frame.width * shown));
  const height = Math.max(1, Math.round(frame.height * shown));
  const target = copy ? scaled : frame;
  target.style.width = `${width / ratio}px`;
  target.style.height = `${height / ratio}px`;
  if (copy && (scaled.width !== width || scaled.height !== height)) {
    scaled.width = width;
    scaled.height = height;
  }
  present();
}

function toggleActualSize() {
  oneToOne = !oneToOne;
  actualSize.setAttribute('aria-pressed', String(oneToOne));
  layoutStage();
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else panel.requestFullscreen().catch(() => {});
}

export function initStage() {
  actualSize.addEventListener('click', toggleActualSize);
  document.getElementById('full-screen').addEventListener('click', toggleFullScreen);
  new ResizeObserver(layoutStage).observe(stage);
}
