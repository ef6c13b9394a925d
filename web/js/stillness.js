// The still stretches of the viewed slide's movie, as the server reads them from its tags, and
// the frames it would keep after tightening with the page's max still: asked for each movie
// version and max still (once the control rests a moment), the latest answer winning. A
// change makes a new version, so the marks follow every edit, undo and redo.
import * as api from './api.js';
import { state, update, onUpdate, say } from './store.js';

const kSettle = 150; // ms the max still control rests before the server is asked

let timer = 0;
let asked = 0;

async function fetchStillness() {
  const ticket = ++asked;
  const { version } = state.movie ?? {};
  const { maxStill, slide } = state;
  if (!version) return update({ still: null });
  try {
    const found = await api.getStillness(slide, maxStill);
    if (ticket === asked) update({ still: { ...found, version, maxStill } });
  } catch (error) {
    if (ticket !== asked) return;
    update({ still: null });
    say(`still frames: ${error.message}`, true);
  }
}

export function setMaxStill(seconds) {
  update({ maxStill: seconds });
}

export function initStillness() {
  onUpdate((changed) => {
    if (!changed.has('movie') && !changed.has('maxStill')) return;
    clearTimeout(timer);
    timer = setTimeout(fetchStillness, changed.has('movie') ? 0 : kSettle);
  });
}
