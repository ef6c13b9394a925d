// The slides list: number, name, duration, minimum, frames and the slides sharing its movie;
// a click shows a slide, a check box picks it for a merge, dragging a row moves the slide, and
// its ✕ button (or Delete on the focused row) removes it. Below it: add a slide from a movie or
// video file or sharing the current slide's movie, rename the current slide and set its minimum.
import { state, update, onUpdate, currentSlide } from '../store.js';
import { showProject } from '../project.js';
import * as edits from '../edits.js';

const panel = document.getElementById('slides-panel');
const body = document.querySelector('#slides tbody');
const minimum = document.getElementById('minimum');
const name = document.getElementById('slide-name');

let dragged = null; // the number of the slide being dragged

function confirmRemove(slide) {
  if (window.confirm(`Remove slide ${slide.number}, "${slide.name}"? Undo brings it back.`)) {
    edits.removeSlide(slide.number);
  }
}

function checkBox(slide) {
  const check = document.createElement('input');
  check.type = 'checkbox';
  check.checked = state.checked.has(slide.number);
  check.title = 'Pick for a merge';
  check.addEventListener('click', (e) => {
    e.stopPropagation();
    const checked = new Set(state.checked);
    if (check.checked) checked.add(slide.number); else checked.delete(slide.number);
    update({ checked });
  });
  return check;
}

function removeButton(slide) {
  const button = document.createElement('button');
  button.className = 'remove';
  button.textContent = '✕';
  button.title = `Remove slide ${slide.number} (Delete)`;
  button.disabled = state.busy;
  button.addEventListener('click', (e) => {
    e.stopPropagation();
    confirmRemove(slide);
  });
  return button;
}

// A row dropped on row N moves the dragged slide to position N: above it when it came from
// below, below it when it came from above, as the drop mark shows.
function allowDrag(tr, slide) {
  tr.draggable = true;
  tr.addEventListener('dragstart', (e) => {
    dragged = slide.number;
    e.dataTransfer.effectAllowed = 'move';
    e.dataTransfer.setData('text/plain', slide.name);
  });
  tr.addEventListener('dragover', (e) => {
    if (dragged === null || dragged === slide.number) return;
    e.preventDefault();
    tr.classList.add(dragged > slide.number ? 'drop-above' : 'drop-below');
  });
  tr.addEventListener('dragleave', () => tr.classList.remove('drop-above', 'drop-below'));
  tr.addEventListener('drop', (e) => {
    e.preventDefault();
    const from = dragged;
    dragged = null;
    if (from !== null && from !== slide.number) edits.moveSlide(from, slide.number);
  });
  tr.addEventListener('dragend', () => {
    dragged = null;
    for (const marked of body.querySelectorAll('.drop-above, .drop-below')) {
      marked.classList.remove('drop-above', 'drop-below');
    }
  });
}

function row(slide) {
  const tr = document.createElement('tr');
  tr.classList.toggle('current', slide.number === state.slide);
  tr.tabIndex = 0;
  const cells = [slide.number, slide.name, slide.duration.toFixed(3), slide.minimum.toFixed(3), slide.frames,
    (slide.sharedWith ?? []).join(', ') || '–'];
  const first = document.createElement('td');
  first.append(checkBox(slide));
  const last = document.createElement('td');
  last.append(removeButton(slide));
  tr.append(first, ...cells.map((text) => {
    const td = document.createElement('td');
    td.textContent = text;
    return td;
  }), last);
  tr.cells[2].className = 'name';
  tr.cells[2].title = slide.name; // whole, where the column cuts it short
  tr.addEventListener('click', () => showProject(state.project, slide.number));
  tr.addEventListener('keydown', (e) => {
    if (e.key !== 'Delete' || e.target !== tr) return;
    e.stopPropagation(); // the slide, not the timeline's selection
    confirmRemove(slide);
  });
  allowDrag(tr, slide);
  return tr;
}

function render() {
  body.replaceChildren(...(state.project?.slides ?? []).map(row));
  minimum.value = currentSlide()?.minimum ?? 0;
  name.value = currentSlide()?.name ?? '';
}

async function addUploaded(e) {
  const file = e.target.files[0];
  e.target.value = '';
  const uploaded = file && (await edits.uploadMovie(file));
  if (uploaded) edits.addSlide({ upload: uploaded.upload });
}

export function initSlides() {
  document.getElementById('add-upload').addEventListener('change', addUploaded);
  document.getElementById('add-share').addEventListener('click',
    () => edits.addSlide({ share: state.slide }));
  document.getElementById('rename').addEventListener('click',
    () => edits.renameSlide(state.slide, name.value));
  name.addEventListener('keydown', (e) => {
    if (e.key === 'Enter') edits.renameSlide(state.slide, name.value);
  });
  document.getElementById('set-minimum').addEventListener('click',
    () => edits.setMinimum(minimum.valueAsNumber));
  document.getElementById('merge').addEventListener('click', edits.mergeChecked);
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('slide') || changed.has('checked')) render();
    if (changed.has('busy')) for (const button of panel.querySelectorAll('button')) button.disabled = state.busy;
  });
}
