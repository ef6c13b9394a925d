// The viewer: the frame at the playhead exactly as our player renders it, play and pause at
// the movie's frame rate, step, and the time as seconds and frame number. Playback shows
// every frame in order, fetching a few ahead; a frame that is not there in time is waited for
// (and counted late), never skipped.
import * as api from '../api.js';
import { state, update, onUpdate, frameTime, clampFrame } from '../store.js';
import { framesToSeconds } from '../time.js';
import * as metrics from '../metrics.js';

const canvas = document.getElementById('frame');
const context = canvas.getContext('2d', { willReadFrequently: true });
const playButton = document.getElementById('play');
const timeText = document.getElementById('time');
const kAhead = 6;

const cache = new Map();  // "version/frame/after" -> Promise<rows>
let drawn = Promise.resolve();  // the server drew the last frame asked for ahead
let shownKey = '';

// The frame's rows: those that differ from frame `after`, the one on the canvas, when the
// server drew that frame last, else all. Frames fetched ahead for playback are asked for in
// order, each once the server has drawn the one before, so that its player only ever moves
// forward.
function picture(movie, frame, after = 0, ahead = false) {
  const key = `${movie.version}/${frame}/${after}`;
  if (!cache.has(key)) {
    const request = () => api.requestFrame(movie.version, frame, after);
    const response = ahead ? drawn.then(request, request) : request();
    if (ahead) drawn = response.catch(() => {});
    cache.set(key, response.then((r) => api.readFrame(r, movie)));
    while (cache.size > 2 * kAhead) cache.delete(cache.keys().next().value);
  }
  return cache.get(key);
}

// The frame on the canvas if it is of the movie, else 0.
function shownFrame(movie) {
  const [version, frame] = shownKey.split('/').map(Number);
  return version === movie.version ? frame : 0;
}

async function draw(movie, frame, ahead = false) {
  const key = `${movie.version}/${frame}`;
  if (shownKey === key) return true;
  const after = ahead ? frame - 1 : shownFrame(movie);
  let rows = await picture(movie, frame, after, ahead);
  // Some rows fit only over the frame they were taken against; else the whole frame is needed.
  if (rows.rows < movie.height && shownFrame(movie) !== after) rows = await picture(movie, frame);
  if (state.movie?.version !== movie.version) return false;
  if (!state.playing && state.frame !== frame) return false;  // the playhead moved on
  if (canvas.width !== movie.width || canvas.height !== movie.height) {
    canvas.width = movie.width;
    canvas.height = movie.height;
  }
  if (rows.image) context.putImageData(rows.image, 0, rows.top);
  shownKey = key;
  canvas.dataset.shown = key;
  return true;
}

function showTime() {
  timeText.textContent = state.movie
    ? `${frameTime(state.frame).toFixed(3)} s  ·  frame ${state.frame} / ${state.movie.frames}`
    : 'no movie';
}

async function showCurrent() {
  showTime();
  if (!state.movie || shownKey === `${state.movie.version}/${state.frame}`) return;
  try {
    await draw(state.movie, state.frame);
  } catch {
    // A frame of a version that an edit just replaced: the new version follows.
  }
}

async function play() {
  const movie = state.movie;
  const { version, frameRate, frames } = movie;
  const period = 1000 * framesToSeconds(1, frameRate);
  let frame = state.frame >= frames ? 1 : state.frame;
  const pressed = performance.now();
  // The clock starts once the first frame is on the canvas: fetching it after a jump delays
  // the start, as in any player, and no later frame is due sooner for it.
  if (shownKey !== `${version}/${frame}`) await draw(movie, frame);
  let due = performance.now();
  metrics.playbackStarted(pressed, due);
  while (state.playing && state.movie?.version === version && frame <= frames) {
    for (let ahead = 1; ahead <= kAhead && frame + ahead <= frames; ++ahead) {
      picture(movie, frame + ahead, frame + ahead - 1, true);
    }
    if (shownKey !== `${version}/${frame}`) await picture(movie, frame, frame - 1, true);
    const wait = due - performance.now();
    if (wait > 0) await new Promise((resolve) => setTimeout(resolve, wait));
    if (!state.playing) break;
    if (performance.now() - due > period) {
      metrics.frameLate(frame, performance.now() - due - period);
      due = performance.now();
    }
    await draw(movie, frame, true);
    metrics.frameShown();
    update({ frame });
    due += period;
    ++frame;
  }
  update({ playing: false });
}

export function togglePlay() {
  if (!state.movie) return;
  const playing = !state.playing;
  update({ playing });
  if (playing) play();
}

export function step(frames) {
  update({ playing: false, frame: clampFrame(state.frame + frames) });
}

export function initViewer() {
  playButton.addEventListener('click', togglePlay);
  document.getElementById('step-back').addEventListener('click', () => step(-1));
  document.getElementById('step-forward').addEventListener('click', () => step(1));
  onUpdate((changed) => {
    if (changed.has('playing')) playButton.textContent = state.playing ? 'Pause' : 'Play';
    if (!state.playing && (changed.has('frame') || changed.has('movie'))) showCurrent();
    if (state.playing && changed.has('frame')) showTime();
  });
}
