// The slides list: number, name, duration, minimum, frames and the slides sharing its movie;
// a click shows a slide, a check box picks it for a merge. Below it: add a slide from a
// movie file or sharing the current slide's movie, and set the current slide's minimum.
import { state, update, onUpdate, currentSlide } from '../store.js';
import { showProject } from '../project.js';
import * as edits from '../edits.js';

const panel = document.getElementById('slides-panel');
const body = document.querySelector('#slides tbody');
const minimum = document.getElementById('minimum');

function row(slide) {
  const tr = document.createElement('tr');
  tr.classList.toggle('current', slide.number === state.slide);
  const check = document.createElement('input');
  check.type = 'checkbox';
  check.checked = state.checked.has(slide.number);
  check.addEventListener('click', (e) => {
    e.stopPropagation();
    const checked = new Set(state.checked);
    if (check.checked) checked.add(slide.number); else checked.delete(slide.number);
    update({ checked });
  });
  const cells = [slide.number, slide.name, `${slide.duration.toFixed(3)} s`,
    `${slide.minimum.toFixed(3)} s`, slide.frames, (slide.sharedWith ?? []).join(', ') || '–'];
  const first = document.createElement('td');
  first.append(check);
  tr.append(first, ...cells.map((text) => {
    const td = document.createElement('td');
    td.textContent = text;
    return td;
  }));
  tr.addEventListener('click', () => showProject(state.project, slide.number));
  return tr;
}

function render() {
  body.replaceChildren(...(state.project?.slides ?? []).map(row));
  minimum.value = currentSlide()?.minimum ?? 0;
}

export function initSlides() {
  document.getElementById('add-upload').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    const uploaded = file && (await edits.uploadMovie(file));
    if (uploaded) edits.addSlide({ upload: uploaded.upload });
  });
  document.getElementById('add-share').addEventListener('click',
    () => edits.addSlide({ share: state.slide }));
  document.getElementById('set-minimum').addEventListener('click',
    () => edits.setMinimum(Number(minimum.value)));
  document.getElementById('merge').addEventListener('click', edits.mergeChecked);
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('slide') || changed.has('checked')) render();
    if (changed.has('busy')) for (const button of panel.querySelectorAll('button')) button.disabled = state.busy;
  });
}
