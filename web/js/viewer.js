// The viewer: the frame at the playhead exactly as our player renders it, play and pause at
// the movie's frame rate, step, and the time as seconds and frame number. Playback shows
// every frame in order, fetching a few ahead; a frame that is not there in time is waited
// for (and counted late), never skipped.
import * as api from './api.js';
import { state, update, onUpdate, frameTime, clampFrame } from './state.js';

const canvas = document.getElementById('frame');
const context = canvas.getContext('2d', { willReadFrequently: true });
const playButton = document.getElementById('play');
const timeText = document.getElementById('time');
const kAhead = 6;

const cache = new Map();  // "version/frame" -> Promise<ImageBitmap>
// Playback figures, read by the benchmark: frames shown and frames shown late.
export const playback = { shown: 0, late: 0, started: 0 };
let shownKey = '';

function bitmap(version, frame) {
  const key = `${version}/${frame}`;
  if (!cache.has(key)) {
    cache.set(key, api.getFrame(version, frame));
    while (cache.size > 4 * kAhead) {
      const [oldest, promise] = cache.entries().next().value;
      cache.delete(oldest);
      promise.then((b) => b.close(), () => {});
    }
  }
  return cache.get(key);
}

async function draw(version, frame) {
  const key = `${version}/${frame}`;
  const image = await bitmap(version, frame);
  if (state.movie?.version !== version) return false;
  if (!state.playing && state.frame !== frame) return false;  // the playhead moved on
  if (canvas.width !== image.width || canvas.height !== image.height) {
    canvas.width = image.width;
    canvas.height = image.height;
  }
  context.drawImage(image, 0, 0);
  shownKey = key;
  canvas.dataset.shown = key;
  return true;
}

function showTime() {
  const rate = state.movie?.frameRate ?? 0;
  const frames = state.movie?.frames ?? 0;
  timeText.textContent = rate
    ? `${frameTime(state.frame).toFixed(3)} s  ·  frame ${state.frame} / ${frames}`
    : 'no movie';
}

async function showCurrent() {
  showTime();
  if (!state.movie || shownKey === `${state.movie.version}/${state.frame}`) return;
  try {
    await draw(state.movie.version, state.frame);
  } catch (error) {
    // A frame of a version that an edit just replaced: the new version follows.
  }
}

async function play() {
  const { version, frameRate, frames } = state.movie;
  const period = 1000 / frameRate;
  let frame = state.frame >= frames ? 1 : state.frame;
  let due = performance.now();
  Object.assign(playback, { shown: 0, late: 0, started: due });
  while (state.playing && state.movie?.version === version && frame <= frames) {
    for (let ahead = 1; ahead <= kAhead && frame + ahead <= frames; ++ahead) {
      bitmap(version, frame + ahead);
    }
    await bitmap(version, frame);
    const wait = due - performance.now();
    if (wait > 0) await new Promise((resolve) => setTimeout(resolve, wait));
    if (!state.playing) break;
    if (performance.now() - due > period) {
      ++playback.late;
      due = performance.now();
    }
    await draw(version, frame);
    ++playback.shown;
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
