// The project's history, as fmredit project log lists it, and the undo and redo buttons. A
// click on an entry brings the project to that state.
import { state, onUpdate } from '../store.js';
import * as edits from '../edits.js';

const list = document.getElementById('history');
const undo = document.getElementById('undo');
const redo = document.getElementById('redo');

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
}

export function initHistory() {
  undo.addEventListener('click', edits.undo);
  redo.addEventListener('click', edits.redo);
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('busy')) render();
  });
}
