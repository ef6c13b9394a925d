// The export dialog behind the header's Export button: format, range (whole project, the
// viewed slide or its selection), scale, quality or lossless (for a GIF or animated PNG a max
// size instead); while the server works it shows the percent done and the time left and offers
// to cancel; then the video downloads and the status says what was lowered to fit.
import * as api from '../api.js';
import { state, say, selection } from '../store.js';
import {
  exportRequest, runExport, describeProgress, describeExported, scaledSize, isAnimationType,
} from '../exports.js';

const dialog = document.getElementById('export-dialog');
const form = document.getElementById('export-form');
const type = document.getElementById('export-type');
const scale = document.getElementById('export-scale');
const quality = document.getElementById('export-quality');
const crf = document.getElementById('export-crf');
const lossless = document.getElementById('export-lossless');
const limit = document.getElementById('export-limit');
const maxSize = document.getElementById('export-max-size');
const progress = document.getElementById('export-progress');
const left = document.getElementById('export-left');
const status = document.getElementById('export-status');
const start = document.getElementById('export-start');
const close = document.getElementById('export-close');
const chapters = document.getElementById('export-chapters');

let running = null; // the export's number while the server makes it (0 until it answers)

const crfOf = () => 51 - Number(quality.value);

function renderChoices() {
  const chosen = selection();
  document.getElementById('export-selection').textContent = chosen
    ? `(frames ${chosen.first}–${chosen.last} of slide ${state.slide})` : '(none set)';
  form.elements.range.forEach((radio) => {
    radio.disabled = running !== null || (radio.value === 'selection' && !chosen);
  });
  if (form.elements.range.value === 'selection' && !chosen) form.elements.range.value = 'slide';
  const size = scaledSize(Number(scale.value)) ?? state.movie;
  document.getElementById('export-size').textContent = size ? `${size.width}×${size.height}` : '';
  const animation = isAnimationType(type.value);
  lossless.disabled = animation || running !== null;
  quality.disabled = animation || lossless.checked || running !== null;
  crf.textContent = animation || lossless.checked ? '' : `crf ${crfOf()}`;
  limit.hidden = !animation;
  for (const field of [type, scale, maxSize]) field.disabled = running !== null;
  start.disabled = running !== null;
  close.textContent = running !== null ? 'Cancel' : 'Close';
}

function show(text, isError = false) {
  status.textContent = text;
  status.classList.toggle('error', isError);
  if (text) say(text, isError);
}

function download(url) {
  const link = document.createElement('a');
  link.href = url;
  link.download = '';
  document.body.append(link);
  link.click();
  link.remove();
}

async function exportVideo() {
  const request = exportRequest({
    type: type.value, range: form.elements.range.value, scale: Number(scale.value),
    crf: crfOf(), lossless: lossless.checked, maxMegabytes: maxSize.valueAsNumber,
  });
  if (!request) return show('nothing to export: the range is empty', true);
  const file = `${request.name}.${request.type}`;
  running = 0;
  delete dialog.dataset.export;
  chapters.hidden = true;
  progress.value = 0;
  left.textContent = '';
  renderChoices();
  show(`exporting ${file}…`);
  try {
    const done = await runExport(request, (n) => {
      running = n;
      dialog.dataset.export = String(n);
    }, (event) => {
      progress.value = event.percent ?? 0;
      left.textContent = describeProgress(event);
    });
    if (done === null) return show(`export of ${file} cancelled`);
    progress.value = 100;
    left.textContent = '';
    show(describeExported(file, done, request.maxSize));
    download(api.exportUrl(done.number));
    if (request.slide === undefined) {
      chapters.href = api.chaptersUrl(done.number);
      chapters.download = `${request.name}.chapters.txt`;
      chapters.hidden = false;
    }
  } catch (error) {
    show(error.message, true);
  } finally {
    running = null;
    renderChoices();
  }
}

// Close while idle; cancel while exporting (the server says when it has stopped).
async function closeOrCancel() {
  if (running === null) return dialog.close();
  if (!running) return; // not started yet: the server has not named it
  show('cancelling…');
  try {
    await api.cancelExport(running);
  } catch (error) {
    show(error.message, true);
  }
}

export function initExportDialog() {
  document.getElementById('export-video').addEventListener('click', () => {
    if (running === null) { // a fresh start: no word left of the last export
      show('');
      progress.value = 0;
      left.textContent = '';
    }
    renderChoices();
    dialog.showModal();
  });
  form.addEventListener('submit', (e) => {
    e.preventDefault();
    exportVideo();
  });
  form.addEventListener('input', renderChoices);
  // Keys typed in the dialog are the dialog's, never the editor's shortcuts behind it.
  dialog.addEventListener('keydown', (e) => e.stopPropagation());
  close.addEventListener('click', closeOrCancel);
  dialog.addEventListener('cancel', (e) => { // Escape
    if (running === null) return;
    e.preventDefault();
    closeOrCancel();
  });
}
