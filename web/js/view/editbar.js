// The edits above the filmstrip: delete the selection, split at the playhead, insert another
// slide's movie or an uploaded one at the playhead. The timeline's buttons rest while a change
// runs.
import { state, onUpdate } from '../store.js';
import * as edits from '../edits.js';

const panel = document.getElementById('timeline-panel');
const insertSource = document.getElementById('insert-source');

function renderSources() {
  const chosen = insertSource.value;
  insertSource.replaceChildren(...(state.project?.slides ?? []).map((s) => {
    const option = document.createElement('option');
    option.value = s.number;
    option.textContent = `slide ${s.number}: ${s.name}`;
    return option;
  }));
  if (chosen) insertSource.value = chosen;
}

export function initEditBar() {
  document.getElementById('delete').addEventListener('click', edits.deleteSelection);
  document.getElementById('split').addEventListener('click', edits.splitAtPlayhead);
  document.getElementById('insert').addEventListener('click',
    () => edits.insertAtPlayhead({ resourceOf: Number(insertSource.value) }));
  document.getElementById('insert-upload').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    const uploaded = file && (await edits.uploadMovie(file));
    if (uploaded) edits.insertAtPlayhead({ upload: uploaded.upload });
  });
  onUpdate((changed) => {
    if (changed.has('project')) renderSources();
    if (changed.has('busy')) for (const button of panel.querySelectorAll('button')) button.disabled = state.busy;
  });
}
