// The changes: each is one request to the server, which runs it as one undoable command of
// the project; progress comes over the event stream, refusals as the command line's one-line
// reason. Only one change runs at a time from a page.
import * as api from './api.js';
import { state, update, say, frameTime, selection } from './store.js';
import { framesToSeconds } from './time.js';
import { showProject } from './project.js';

export function showProgress({ percent }) {
  update({ progress: percent });
}

// Runs {action, ...} on the project; `done` says what happened, for the status line.
export async function run(request, done, slide = state.slide) {
  if (state.busy || !state.project) return false;
  update({ busy: true, playing: false });
  say(`${request.action}…`);
  try {
    const { project } = await api.change({ ...request, state: state.project.state });
    await showProject(project, slide);
    say(done);
    return true;
  } catch (error) {
    if (error.project) await showProject(error.project);
    say(error.message, true);
    return false;
  } finally {
    update({ busy: false, progress: null });
  }
}

export async function deleteSelection() {
  const chosen = selection();
  if (!chosen) return say('set an in or out point first', true);
  const ok = await run({
    action: 'delete', slide: state.slide, start: frameTime(chosen.first),
    length: framesToSeconds(chosen.last - chosen.first + 1, state.movie.frameRate),
  }, `deleted frames ${chosen.first}–${chosen.last}`);
  if (ok) update({ inPoint: null, outPoint: null, frame: Math.min(chosen.first, state.movie.frames) });
}

export function splitAtPlayhead() {
  return run({ action: 'split', slide: state.slide, at: frameTime(state.frame) },
    `split slide ${state.slide} at frame ${state.frame}`);
}

// Inserts the movie of another slide (resourceOf) or an uploaded movie at the playhead.
export async function insertAtPlayhead(source) {
  return run({ action: 'insert', slide: state.slide, at: frameTime(state.frame), ...source },
    `inserted at frame ${state.frame}`);
}

export function mergeChecked() {
  const slides = [...state.checked].sort((a, b) => a - b);
  if (slides.length < 2) return say('check two or more slides to merge', true);
  return run({ action: 'merge', slides }, `merged slides ${slides.join(', ')}`, slides[0]);
}

export function undo() {
  return run({ action: 'undo' }, 'undone');
}

export function redo() {
  return run({ action: 'redo' }, 'redone');
}

// Brings the project back (or forward) to the state of a history entry, as undo or redo steps.
export function goToState(entry) {
  return run({ action: 'goto', to: entry.id }, `back at “${entry.change}”`);
}

export function setMinimum(seconds) {
  return run({ action: 'minimum', slide: state.slide, minimum: seconds },
    `slide ${state.slide}: minimum ${seconds} s`);
}

export async function uploadMovie(file) {
  say(`uploading ${file.name}…`);
  try {
    return await api.upload(file);
  } catch (error) {
    say(error.message, true);
    return null;
  }
}

export function addSlide(source) {
  const last = (state.project?.slides.length ?? 0) + 1;
  return run({ action: 'add', ...source }, `added slide ${last}`, last);
}
