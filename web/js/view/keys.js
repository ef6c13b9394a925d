// Keys people know from video editors.
import { state } from '../store.js';
import { secondsToFrames } from '../time.js';
import { togglePlay, playFaster, pause, step, goToStart, goToEnd } from './viewer.js';
import { setInPoint, setOutPoint, clearSelection } from './timeline.js';
import * as edits from '../edits.js';

function withControl(key, shift) {
  if (key === 'z') return shift ? edits.redo : edits.undo;
  if (key === 'y') return edits.redo;
  return null;
}

function action(e) {
  const key = e.key.length === 1 ? e.key.toLowerCase() : e.key;
  const second = secondsToFrames(1, state.movie?.frameRate ?? 0);
  if (e.ctrlKey || e.metaKey) return withControl(key, e.shiftKey);
  if (e.altKey) return null;
  switch (key) {
    case ' ': return togglePlay;
    case 'j': return () => playFaster(-1);
    case 'k': return pause;
    case 'l': return () => playFaster(1);
    case 'ArrowLeft': return () => step(e.shiftKey ? -second : -1);
    case 'ArrowRight': return () => step(e.shiftKey ? second : 1);
    case 'Home': return goToStart;
    case 'End': return goToEnd;
    case 'i': return setInPoint;
    case 'o': return setOutPoint;
    case 'Escape': return clearSelection;
    case 'Delete':
    case 'Backspace': return edits.deleteSelection;
    case 's': return edits.splitAtPlayhead;
    default: return null;
  }
}

export function initKeys() {
  document.addEventListener('keydown', (e) => {
    // Typing goes to the field; a slider takes the mouse and leaves the keys to the movie.
    if (e.target.matches('input:not([type=range]), select, textarea')) return;
    const run = action(e);
    if (!run) return;
    e.preventDefault();
    run();
  });
}
