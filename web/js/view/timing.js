// The timing edits beside the edit bar: the max still control (a slider and a number field
// that follow each other), the slide's length now and after tightening with it, Tighten, and
// speed up selection by a factor.
import { state, onUpdate } from '../store.js';
import { setMaxStill } from '../stillness.js';
import * as edits from '../edits.js';
import { formatTime, framesToSeconds } from '../time.js';

const slider = document.getElementById('max-still');
const field = document.getElementById('max-still-seconds');
const preview = document.getElementById('tighten-preview');
const factor = document.getElementById('speed-factor');

function renderPreview() {
  const { still } = state;
  if (!still || still.version !== state.movie?.version) {
    preview.textContent = '';
    return;
  }
  const length = (frames) => formatTime(framesToSeconds(frames, still.frameRate), 1);
  preview.textContent = `${length(still.frameCount)} → ${length(still.framesAfter)}`;
  preview.title = `Tighten removes ${still.frameCount - still.framesAfter} still frames`;
}

// A number typed in the field counts once it is a time; else the field shows the max still again.
function typed() {
  const seconds = field.valueAsNumber;
  if (!(seconds >= 0)) return;
  slider.value = String(seconds);
  setMaxStill(seconds);
}

export function initTiming() {
  slider.addEventListener('input', () => {
    field.value = slider.value;
    setMaxStill(slider.valueAsNumber);
  });
  field.addEventListener('input', typed);
  field.addEventListener('change', () => { field.value = String(state.maxStill); });
  document.getElementById('tighten').addEventListener('click', edits.tighten);
  document.getElementById('speed-up').addEventListener('click',
    () => edits.speedUpSelection(factor.valueAsNumber));
  onUpdate((changed) => {
    if (changed.has('still') || changed.has('movie')) renderPreview();
  });
}
