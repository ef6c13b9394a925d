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

// Runs {action, ...} on the project; the status line then shows the server's own line on what
// happened when it sent one, else `done`.
export async function run(request, done, slide = state.slide) {
  if (state.busy || !state.project) return false;
  update({ busy: true, playing: false });
  say(`${request.action}…`);
  try {
    const { project, message } = await api.change({ ...request, state: state.project.state });
    await showProject(project, slide);
    say(message || done);
    return true;
  } catch (error) {
    if (error.project) await showProject(error.project);
    say(error.message, true);
    return false;
  } finally {
    update({ busy: false, progress: null });
  }
}

// The selection, or null when there is none (the status line then says so).
function chosenFrames() {
  const chosen = selection();
  if (!chosen) say('set an in or out point first', true);
  return chosen;
}

// After a change to the selection's frames the playhead waits where they began.
function leaveSelection({ first }) {
  update({ inPoint: null, outPoint: null, frame: Math.min(first, state.movie.frames) });
}

export async function deleteSelection() {
  const chosen = chosenFrames();
  if (!chosen) return;
  const ok = await run({
    action: 'delete', slide: state.slide, start: frameTime(chosen.first),
    length: framesToSeconds(chosen.last - chosen.first + 1, state.movie.frameRate),
  }, `deleted frames ${chosen.first}–${chosen.last}`);
  if (ok) leaveSelection(chosen);
}

// Shows the selection factor times faster (every factor-th frame of it).
export async function speedUpSelection(factor) {
  const chosen = chosenFrames();
  if (!chosen) return;
  if (!Number.isFinite(factor)) return say('speed up: give a factor of 1 or more', true);
  const ok = await run({
    action: 'speed', slide: state.slide, from: frameTime(chosen.first),
    to: framesToSeconds(chosen.last, state.movie.frameRate), factor,
  }, `sped up frames ${chosen.first}–${chosen.last} ${factor} times`);
  if (ok) leaveSelection(chosen);
}

// Shortens every still stretch of the slide longer than the max still to its first max still.
export function tighten() {
  return run({ action: 'tighten', slide: state.slide, maxIdle: state.maxStill },
    `tightened slide ${state.slide}`);
}

// Drops every earlier state and what only they keep; the page has asked first.
export function purgeHistory() {
  return run({ action: 'purge' }, 'history purged');
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

// The minimum comes from a number field: an empty or negative one is refused here, saying why.
export function setMinimum(seconds) {
  if (!Number.isFinite(seconds) || seconds < 0) {
    return say('a minimum is the least time the slide is shown: 0 seconds or more', true);
  }
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

// Removing or moving slides renumbers them: the checks for a merge go, and the viewer keeps
// its slide where that slide now is.
export async function removeSlide(number) {
  const viewed = state.slide - (number < state.slide ? 1 : 0);
  if (await run({ action: 'remove', slide: number }, `removed slide ${number}`, viewed)) {
    update({ checked: new Set() });
  }
}

export async function moveSlide(number, to) {
  const viewed = state.slide === number ? to
    : state.slide + (number < state.slide && to >= state.slide ? -1 : 0)
      + (number > state.slide && to <= state.slide ? 1 : 0);
  if (await run({ action: 'move', slide: number, to }, `moved slide ${number} to ${to}`, viewed)) {
    update({ checked: new Set() });
  }
}

export function renameSlide(number, name) {
  if (!name.trim()) return say('a slide needs a name', true);
  return run({ action: 'rename', slide: number, name }, `renamed slide ${number} to ${name}`);
}
