// What the page shows: the project, the slide being edited and its movie, the playhead, the
// in and out points, the slides checked for a merge. Modules read `state` and call update();
// every listener then hears which fields changed.

export const state = {
  project: null,   // as /api/project gives it
  slide: 1,        // the slide in the viewer, from 1
  movie: null,     // its version's facts: version, width, height, frameRate, frames, keyFrames
  frame: 1,        // the playhead, from 1
  inPoint: null,   // frames, from 1
  outPoint: null,
  checked: new Set(),
  playing: false,
  busy: false,     // a change is running
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

export function currentSlide() {
  return state.project?.slides[state.slide - 1] ?? null;
}

// Seconds from the start of the movie to the start of a frame.
export function frameTime(frame) {
  return state.movie ? (frame - 1) / state.movie.frameRate : 0;
}

export function clampFrame(frame) {
  return Math.max(1, Math.min(state.movie?.frames ?? 1, Math.round(frame)));
}
