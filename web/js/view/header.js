// The header: the project's path, the status line with the progress of a change, and the
// viewed slide's SWF as a link (the Export button's dialog lives in exportdialog.js). Its
// layout never moves with the texts: see style.css.
import * as api from '../api.js';
import { state, onUpdate, currentSlide, exportBaseName } from '../store.js';

const projectPath = document.getElementById('project-path');
const exportLink = document.getElementById('export-swf');
const message = document.getElementById('message');
const progress = document.getElementById('progress');

function renderProject() {
  projectPath.textContent = state.project?.project ?? '';
  projectPath.title = projectPath.textContent;
  const slide = currentSlide();
  exportLink.hidden = !slide?.version;
  if (slide?.version) {
    exportLink.download = `${exportBaseName()}.swf`;
    exportLink.href = api.movieUrl(slide.version, exportLink.download);
  }
}

export function initHeader() {
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('slide')) renderProject();
    if (changed.has('message')) {
      message.textContent = state.message.text;
      message.title = state.message.text;
      message.classList.toggle('error', state.message.isError);
    }
    if (changed.has('progress')) {
      // Hidden by visibility, not display: the status line keeps its place.
      progress.classList.toggle('idle', state.progress === null);
      if (state.progress !== null) progress.value = state.progress;
    }
    if (changed.has('ready')) document.body.dataset.ready = String(state.ready);
  });
}
