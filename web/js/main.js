// The editor page: wires the panels together and keeps up with the server's events.
import * as api from './api.js';
import { state, onUpdate, currentSlide } from './state.js';
import { reloadProject } from './project.js';
import { initViewer, playback } from './viewer.js';
import { initTimeline, filmstrip } from './timeline.js';
import { initSlides } from './slides.js';
import { initHistory } from './history.js';
import { initKeys } from './keys.js';
import * as edits from './edits.js';
import { exportVideo, onExportEvent } from './exports.js';

const insertSource = document.getElementById('insert-source');
const exportLink = document.getElementById('export-swf');

function renderHeader() {
  document.getElementById('project-path').textContent = state.project?.project ?? '';
  const slide = currentSlide();
  exportLink.hidden = !slide?.version;
  if (slide?.version) {
    exportLink.href = api.movieUrl(slide.version, edits.exportName());
    exportLink.download = edits.exportName();
  }
  const chosen = insertSource.value;
  insertSource.replaceChildren(...(state.project?.slides ?? []).map((s) => {
    const option = document.createElement('option');
    option.value = s.number;
    option.textContent = `slide ${s.number}: ${s.name}`;
    return option;
  }));
  if (chosen) insertSource.value = chosen;
}

function initEdits() {
  document.getElementById('delete').addEventListener('click', edits.deleteSelection);
  document.getElementById('split').addEventListener('click', edits.splitAtPlayhead);
  document.getElementById('insert').addEventListener('click',
    () => edits.insertAtPlayhead({ resourceOf: Number(insertSource.value) }));
  document.getElementById('export-mp4').addEventListener('click', () => exportVideo('mp4'));
  document.getElementById('export-gif').addEventListener('click', () => exportVideo('gif'));
  document.getElementById('insert-upload').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    const uploaded = file && (await edits.uploadMovie(file));
    if (uploaded) edits.insertAtPlayhead({ upload: uploaded.upload });
  });
  onUpdate((changed) => {
    if (changed.has('project') || changed.has('slide')) renderHeader();
    if (changed.has('busy')) {
      for (const button of document.querySelectorAll('#timeline-panel button, #slides-panel button')) {
        button.disabled = state.busy;
      }
    }
  });
}

async function start() {
  initViewer();
  initTimeline();
  initSlides();
  initHistory();
  initKeys();
  initEdits();
  api.listen(edits.showProgress, ({ state: latest }) => {
    // Another page (or this one) changed the project: catch up unless this page is mid-change.
    if (!state.busy && latest !== state.project?.state) reloadProject();
  }, onExportEvent);
  try {
    await reloadProject();
    edits.say('ready');
  } catch (error) {
    edits.say(error.message, true);
  }
  document.body.dataset.ready = 'true';
}

// For the browser tests and the benchmark.
window.studio = { state, playback, filmstrip };
start();
