// The viewed slide's recorded pointer and keys, as the server reads them from its movie: how
// they are shown (the movie's settings) and the key presses. The page's settings start as the
// movie's; a switch changes them at once, and the viewer sends them with every frame it asks
// for, so the frame on screen shows them before they are saved. Saving makes them the slide's
// (one undoable change); so does deleting a key press, after which unsaved settings stay.
import * as api from './api.js';
import { state, update, onUpdate, say } from './store.js';
import { run } from './edits.js';

let asked = 0;

async function fetchPointer() {
  const ticket = ++asked;
  const { version } = state.movie ?? {};
  const { slide } = state;
  if (!version) return update({ pointer: null, overlay: null });
  try {
    const found = await api.getPointer(slide);
    if (ticket !== asked) return;
    const keep = found.recorded && state.pointer?.slide === slide && overlayUnsaved();
    update({
      pointer: { ...found, version, slide },
      overlay: keep ? state.overlay : found.recorded ? { ...found.settings } : null,
    });
  } catch (error) {
    if (ticket !== asked) return;
    update({ pointer: null, overlay: null });
    say(`pointer: ${error.message}`, true);
  }
}

// The page's settings as the viewer's query: "pointer=large&scale=2&clicks=on&keys=off", or
// "" when the movie records no pointer.
export function overlayQuery() {
  const { overlay } = state;
  if (!overlay) return '';
  const onOff = (on) => (on ? 'on' : 'off');
  return `pointer=${overlay.pointer}&scale=${overlay.scale}&clicks=${onOff(overlay.clicks)}`
    + `&keys=${onOff(overlay.keys)}`;
}

// Whether the page's settings differ from the movie's.
export function overlayUnsaved() {
  const saved = state.pointer?.settings;
  const { overlay } = state;
  return Boolean(saved && overlay)
    && Object.keys(saved).some((key) => saved[key] !== overlay[key]);
}

export function previewOverlay(changes) {
  if (state.overlay) update({ overlay: { ...state.overlay, ...changes } });
}

export function saveOverlay() {
  return run({ action: 'overlay', slide: state.slide, ...state.overlay },
    `slide ${state.slide}: pointer settings saved`);
}

export function removeKeyPress({ frame, index, key }) {
  return run({ action: 'remove-key', slide: state.slide, frame, index },
    `removed key ${key} from frame ${frame}`);
}

export function initPointer() {
  onUpdate((changed) => {
    if (changed.has('movie') || changed.has('slide')) fetchPointer();
  });
}
