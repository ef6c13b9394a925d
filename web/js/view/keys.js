// Keys people know from video editors.
import { state } from '../store.js';
import { secondsToFrames } from '../time.js';
import { togglePlay, step } from './viewer.js';
import { setInPoint, setOutPoint } from './timeline.js';
import * as edits from '../edits.js';

function action(e) {
  const key = e.key.length === 1 ? e.key.toLowerCase() : e.key;
  const second = secondsToFrames(1, state.movie?.frameRate ?? 0);
  if ((e.ctrlKey || e.metaKey) && key === 'z') return e.shiftKey ? edits.redo : edits.undo;
  if (e.ctrlKey || e.metaKey || e.altKey) return null;
  switch (key) {
    case ' ': return togglePlay;
    case 'ArrowLeft': return () => step(e.shiftKey ? -second : -1);
    case 'ArrowRight': return () => step(e.shiftKey ? second : 1);
    case 'i': return setInPoint;
    case 'o': return setOutPoint;
    case 'Delete':
    case 'Backspace': return edits.deleteSelection;
    case 's': return edits.splitAtPlayhead;
    default: return null;
  }
}

export function initKeys() {
  document.addEventListener('keydown', (e) => {
    if (e.target.matches('input, select, textarea')) return;
    const run = action(e);
    if (!run) return;
    e.preventDefault();
    run();
  });
}
