// Export as video: the server makes an MP4, WebM, MKV, GIF or animated PNG of the whole project
// (every slide in order), of the viewed slide or of its selection, while editing goes on; it
// reports the progress over the event stream, can be cancelled, and the page then downloads it
// once.
import * as api from './api.js';
import { state, currentSlide, exportBaseName, selection, frameTime } from './store.js';
import { formatTime } from './time.js';

const following = new Map(); // export number -> {onProgress, resolve}
const ended = new Map(); // export number -> its last event, when it came before the answer

// The types the server keeps under a size limit (lowering the frame rate, the picture size, then
// the colours); they have no quality to choose, and an animated PNG is always lossless.
const kAnimationTypes = ['gif', 'apng'];
export const isAnimationType = (type) => kAnimationTypes.includes(type);

const isEnd = (event) => event.ready || event.error !== undefined || event.cancelled;

// Takes the server's "export" events: {export, done, total, percent, secondsLeft} while it
// runs, then {ready, bytes, lowered}, {error} or {cancelled}.
export function onExportEvent(event) {
  const job = following.get(event.export);
  if (!job) {
    if (isEnd(event)) ended.set(event.export, event);
    return;
  }
  if (!isEnd(event)) {
    job.onProgress(event);
    return;
  }
  following.delete(event.export);
  job.resolve(event);
}

function end(number, onProgress) {
  const early = ended.get(number);
  ended.delete(number);
  if (early) return Promise.resolve(early);
  return new Promise((resolve) => following.set(number, { onProgress, resolve }));
}

// The part of the project a range names: 'project' (every slide), 'slide' (the viewed one) or
// 'selection' (its frames from the in to the out point); null when there is none to export.
function rangeFields(range) {
  if (range === 'project') return state.project?.slides.length ? {} : null;
  if (!currentSlide()?.version) return null;
  if (range === 'slide') return { slide: state.slide };
  const chosen = selection();
  return chosen && { slide: state.slide, start: frameTime(chosen.first), end: frameTime(chosen.last + 1) };
}

// The viewed movie's size at a scale, both even (as video encoders need); null at full size.
export function scaledSize(scale) {
  if (!state.movie || scale === 1) return null;
  const even = (pixels) => Math.max(2, 2 * Math.round((pixels * scale) / 2));
  return { width: even(state.movie.width), height: even(state.movie.height) };
}

function downloadName(range) {
  if (range !== 'project') return exportBaseName();
  const file = (state.project?.project ?? 'project').split(/[\\/]/).pop();
  return file.replace(/\.[^.]*$/, '') || 'project';
}

// The export's request from the choices: {type, range, scale, crf, lossless, maxMegabytes};
// null when the range is empty. A GIF or animated PNG takes a size limit (none when
// maxMegabytes is not a number above 0) instead of a quality.
export function exportRequest({ type, range, scale, crf, lossless, maxMegabytes }) {
  const fields = rangeFields(range);
  if (!fields) return null;
  const request = { type, ...fields, ...scaledSize(scale), name: downloadName(range) };
  if (!isAnimationType(type)) {
    Object.assign(request, lossless ? { lossless: true } : { crf });
  } else if (maxMegabytes > 0) {
    request.maxSize = Math.max(1, Math.round(maxMegabytes * 1e6));
  }
  return request;
}

// Runs an export: onStarted(number) once the server has taken it, onProgress(event) as it
// goes. Resolves to {number, bytes, lowered}: the number to download it by, the file's size and
// what was lowered to fit the request's maxSize (empty: nothing); or to null when it was
// cancelled. Throws the server's reason when it failed.
export async function runExport(request, onStarted, onProgress) {
  const { export: number } = await api.startExport(request);
  onStarted(number);
  const last = await end(number, onProgress);
  if (last.error !== undefined) throw new Error(last.error);
  return last.cancelled ? null : { number, bytes: last.bytes ?? 0, lowered: last.lowered ?? '' };
}

// "4.8 MB", "350 kB", "900 bytes", as the server's messages write sizes.
export function describeBytes(bytes) {
  const units = [[1e9, 'GB'], [1e6, 'MB'], [1e3, 'kB']];
  const [size, name] = units.find(([unit]) => bytes >= unit) ?? [1, 'bytes'];
  return `${Number((bytes / size).toFixed(1))} ${name}`;
}

// "exported clip.gif (4.8 MB), lowered to fit 5 MB: 7.5 frames a second (was 15)" from the
// file's name, what runExport resolved to and the request's maxSize.
export function describeExported(file, { bytes, lowered }, maxSize) {
  const size = bytes > 0 ? ` (${describeBytes(bytes)})` : '';
  const fit = lowered ? `, lowered to fit ${describeBytes(maxSize)}: ${lowered}` : '';
  return `exported ${file}${size}${fit}`;
}

// "42% · 1:05 left" from a progress event; the time is unknown until the server estimates it.
export function describeProgress({ percent, secondsLeft }) {
  const done = `${Math.floor(percent ?? 0)}%`;
  if (secondsLeft === null || secondsLeft === undefined) return `${done} · estimating time left`;
  return `${done} · ${formatTime(Math.ceil(secondsLeft), 0)} left`;
}
