// The switches for the viewed slide's recorded pointer (show, hide or large, with its scale),
// click rings and key captions, which the viewer shows at once, Save, and the list of the
// slide's key presses (time and key), each with a button that deletes it.
import { state, onUpdate } from '../store.js';
import {
  previewOverlay, saveOverlay, removeKeyPress, overlayUnsaved,
} from '../pointer.js';
import { formatTime } from '../time.js';

const panel = document.getElementById('pointer-panel');
const look = document.getElementById('pointer-look');
const scale = document.getElementById('pointer-scale');
const clicks = document.getElementById('pointer-clicks');
const keys = document.getElementById('pointer-keys');
const save = document.getElementById('pointer-save');
const list = document.getElementById('key-presses');

function renderSwitches() {
  const { overlay } = state;
  panel.hidden = !overlay;
  if (!overlay) return;
  look.value = overlay.pointer;
  scale.value = String(overlay.scale);
  scale.disabled = overlay.pointer !== 'large';
  clicks.checked = overlay.clicks;
  keys.checked = overlay.keys;
  save.disabled = state.busy || !overlayUnsaved();
}

function renderKeyPresses() {
  const presses = state.pointer?.keyPresses ?? [];
  list.replaceChildren(...presses.map((press) => {
    const li = document.createElement('li');
    const time = document.createElement('span');
    time.textContent = formatTime(press.seconds, 1);
    const key = document.createElement('kbd');
    key.textContent = press.key;
    const remove = document.createElement('button');
    remove.textContent = '×';
    remove.title = `Delete this key press (frame ${press.frame}) from the movie`;
    remove.disabled = state.busy;
    remove.addEventListener('click', () => removeKeyPress(press));
    li.append(time, key, remove);
    return li;
  }));
}

export function initPointerPanel() {
  look.addEventListener('change', () => previewOverlay({ pointer: look.value }));
  scale.addEventListener('input', () => {
    if (scale.checkValidity() && scale.value !== '') previewOverlay({ scale: scale.valueAsNumber });
  });
  clicks.addEventListener('change', () => previewOverlay({ clicks: clicks.checked }));
  keys.addEventListener('change', () => previewOverlay({ keys: keys.checked }));
  save.addEventListener('click', saveOverlay);
  onUpdate((changed) => {
    if (changed.has('overlay') || changed.has('pointer') || changed.has('busy')) renderSwitches();
    if (changed.has('pointer') || changed.has('busy')) renderKeyPresses();
  });
}
