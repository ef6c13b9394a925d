// Redact: a rectangle drawn on the viewer, covered with a plain grey in the selection's frames
// (the playhead's frame when there is no selection). Until Apply, a box shows where the fill
// will go; Apply makes it one undoable change, and the original stays in the history until
// the history is purged.
import { state, onUpdate, say, selection } from '../store.js';
import * as edits from '../edits.js';

const stage = document.getElementById('stage');
const frame = document.getElementById('frame');
const scaled = document.getElementById('scaled');
const toggle = document.getElementById('redact');
const apply = document.getElementById('redact-apply');
const box = document.getElementById('redact-box');

let start = null; // where the drag began, in frame pixels
let rect = null; // the rectangle drawn, in frame pixels

function shownCanvas() {
  return scaled.hidden ? frame : scaled;
}

// The frame pixel under the pointer, kept inside the frame.
function framePixel(event) {
  const bounds = shownCanvas().getBoundingClientRect();
  const clamp = (value, most) => Math.min(most, Math.max(0, Math.round(value)));
  return {
    x: clamp((event.clientX - bounds.left) / bounds.width * frame.width, frame.width),
    y: clamp((event.clientY - bounds.top) / bounds.height * frame.height, frame.height),
  };
}

// Lays the box over the rectangle on the frame as it is shown now.
function showBox() {
  box.hidden = !rect;
  apply.disabled = state.busy || !rect;
  if (!rect) return;
  const shown = shownCanvas().getBoundingClientRect();
  const origin = stage.getBoundingClientRect();
  const scaleX = shown.width / frame.width;
  const scaleY = shown.height / frame.height;
  box.style.left = `${shown.left - origin.left + stage.scrollLeft + rect.x * scaleX}px`;
  box.style.top = `${shown.top - origin.top + stage.scrollTop + rect.y * scaleY}px`;
  box.style.width = `${rect.width * scaleX}px`;
  box.style.height = `${rect.height * scaleY}px`;
}

function drawTo(event) {
  const end = framePixel(event);
  const x = Math.min(start.x, end.x);
  const y = Math.min(start.y, end.y);
  const width = Math.abs(end.x - start.x);
  const height = Math.abs(end.y - start.y);
  rect = width > 0 && height > 0 ? { x, y, width, height } : null;
  showBox();
}

function setDrawing(on) {
  toggle.setAttribute('aria-pressed', String(on));
  stage.classList.toggle('drawing', on);
  if (!on) {
    rect = null;
    showBox();
  }
}

async function redact() {
  if (!rect) return;
  const chosen = selection() ?? { first: state.frame, last: state.frame };
  const done = await edits.run({
    action: 'redact', slide: state.slide, ...rect, first: chosen.first, last: chosen.last,
  }, `covered ${rect.width}x${rect.height}+${rect.x}+${rect.y} in frames ${chosen.first}–${chosen.last}`);
  if (done) setDrawing(false);
}

export function initRedaction() {
  toggle.addEventListener('click', () => setDrawing(toggle.getAttribute('aria-pressed') !== 'true'));
  apply.addEventListener('click', redact);
  stage.addEventListener('pointerdown', (event) => {
    if (toggle.getAttribute('aria-pressed') !== 'true' || event.button !== 0) return;
    start = framePixel(event);
    stage.setPointerCapture(event.pointerId);
    event.preventDefault();
  });
  stage.addEventListener('pointermove', (event) => {
    if (start) drawTo(event);
  });
  stage.addEventListener('pointerup', (event) => {
    if (!start) return;
    drawTo(event);
    start = null;
    if (!rect) say('drag over the frame to draw the rectangle to cover', true);
  });
  new ResizeObserver(showBox).observe(stage);
  onUpdate((changed) => {
    if (changed.has('busy') || changed.has('frame')) showBox();
  });
}
