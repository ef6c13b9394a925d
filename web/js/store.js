// The store: what the page shows (the project, the slide being edited and its movie, the
// playhead, the in and out points, the slides checked for a merge, the still stretches) and
// what it is doing (a change running, its progress, the status line). Modules read `state` and
// call update();
// every listener then hears which fields changed. Only the views under view/ touch the page.
import { framesToSeconds } from './time.js';

export const state = {
  project: null, // as /api/project gives it
  slide: 1, // the slide in the viewer, from 1
  movie: null, // its version's facts: version, width, height, frameRate, frames, keyFrames
  frame: 1, // the playhead, from 1
  inPoint: null, // frames, from 1
  outPoint: null,
  checked: new Set(),
  maxStill: 2, // seconds a still stretch may last after tightening
  // The movie's still stretches, as /api/slides/N/still gives them, for version and maxStill.
  still: null,
  // The movie's recorded pointer and keys, as /api/slides/N/pointer gives them, with version
  // and slide;
  // and the page's settings for them ({pointer, scale, clicks, keys}), null when it has none.
  pointer: null,
  overlay: null,
  playing: false,
  speed: 1, // frames of the movie per frame period: 1, 2 or 4 forward, -1, -2 or -4 back
  busy: false, // a change is running
  progress: null, // percent of the change or export running, null when none reports
  message: { text: '', isError: false }, // the status line
  ready: false, // the first project has loaded
};

const listeners = new Set();

export function onUpdate(listener) {
  listeners.add(listener);
}

export function update(changes) {
  Object.assign(state, changes);
  const keys = new Set(Object.keys(changes));
  for (const listener of listeners) listener(keys);
}

// The status line: the latest thing that happened. A success replaces an error before it, so an
// old error never outlives the change that came after.
export function say(text, isError = false) {
  update({ message: { text, isError } });
}

// Something the user asked for worked without a message of its own (a selection set, say): an
// error still showing is about an earlier attempt, so it goes.
export function clearError() {
  if (state.message.isError) say('');
}

export function currentSlide() {
  return state.project?.slides[state.slide - 1] ?? null;
}

// The viewed slide's name without its .swf, for the files exported from it.
export function exportBaseName() {
  return currentSlide()?.name.replace(/\.swf$/i, '') ?? 'movie';
}

// Seconds from the start of the movie to the start of a frame.
export function frameTime(frame) {
  return framesToSeconds(frame - 1, state.movie?.frameRate ?? 0);
}

export function lastFrame() {
  return state.movie?.frames ?? 1;
}

export function clampFrame(frame) {
  return Math.max(1, Math.min(state.movie?.frames ?? 1, Math.round(frame)));
}

// The selection: from the in point (or the start) to the out point (or the end), frames.
export function selection() {
  if (!state.movie || (state.inPoint === null && state.outPoint === null)) return null;
  const first = state.inPoint ?? 1;
  const last = state.outPoint ?? state.movie.frames;
  return first <= last ? { first, last } : null;
}
