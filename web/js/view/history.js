// The project's history, as fmredit project log lists it, and the undo and redo buttons. A
// click on an entry brings the project to that state.
import { state, onUpdate } from '../store.js';
import * as edits from '../edits.js';

const list = document.getElementById('history');
const undo = document.getElementById('undo');
const redo = document.getElementById('redo');
const purge = document.getElementById('purge');

function render() {
  const history = state.project?.history ?? [];
  const current = history.findIndex((entry) => entry.current);
  list.replaceChildren(...history.map((entry, i) => {
    const li = document.createElement('li');
    li.textContent = `${entry.change} · ${entry.created}`;
    li.title = entry.current ? `state ${entry.id}: the project now` : `state ${entry.id}: click to return here`;
    li.dataset.state = entry.id;
    li.classList.toggle('current', entry.current);
    li.classList.toggle('undone', i > current);
    if (!entry.current) li.addEventListener('click', () => edits.goToState(entry));
    return li;
  }));
  undo.disabled = state.busy || !state.project?.canUndo;
  redo.disabled = state.busy || !state.project?.canRedo;
  purge.disabled = state.busy || history.length < 2;
}

// Purging cannot be undone, so it asks first.
function confirmPurge() {
  const ok = window.confirm('Drop the whole history for good? Undo will not bring back any ' +
    'earlier state, and every movie only the history keeps is removed from the project file, ' +
    'so that nothing of it can be recovered.');
  if (ok) edits.purgeHistory();
}

export function initHistory() {
  undo.addEventListener('click', edits.undo);
  redo.addEventListener('click', edits.redo);
  purge.addEventListener('click', confirmPurge);
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('busy')) render();
  });
}
