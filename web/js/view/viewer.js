// The viewer: the frame at the playhead exactly as our player renders it, play and pause at
// the movie's frame rate, forward or back at 1, 2 or 4 times, step, and the time as seconds
// and frame number. Playback shows every frame in order, fetching a few ahead; a frame that is
// not there in time is waited for (and counted late), never skipped. Paused, one frame is
// fetched at a time: when the playhead moves on meanwhile (a drag), the frame that came is
// shown and then the playhead's. The recorded pointer and keys are drawn as the page's settings
// say: when they change, the frame on the canvas is fetched again with them.
import * as api from '../api.js';
import { overlayQuery } from '../pointer.js';
import { state, update, onUpdate, frameTime, clampFrame, lastFrame } from '../store.js';
import { framesToSeconds } from '../time.js';
import * as metrics from '../metrics.js';
import { initStage, layoutStage, present } from './stage.js';

const canvas = document.getElementById('frame');
const context = canvas.getContext('2d', { willReadFrequently: true });
const playButton = document.getElementById('play');
const timeText = document.getElementById('time');
const speedText = document.getElementById('speed');
const kAhead = 6;
const kMaxSpeed = 4;

const cache = new Map();  // "version/frame/after/overlay" -> Promise<rows>
let drawn = Promise.resolve();  // the server drew the last frame asked for ahead
let shownKey = '';
let fetching = false;  // a paused frame is on its way
let playRun = 0;  // counts the starts of play(): a loop whose run is not the latest ends

// The frame's rows: those that differ from frame `after`, the one on the canvas, when the
// server drew that frame last, else all. Frames fetched ahead for playback are asked for in
// order, each once the server has drawn the one before, so that its player moves one frame at
// a time.
function picture(movie, frame, after = 0, ahead = false) {
  const overlay = overlayQuery();
  const key = `${movie.version}/${frame}/${after}/${overlay}`;
  if (!cache.has(key)) {
    const request = () => api.requestFrame(movie.version, frame, after, overlay);
    const response = ahead ? drawn.then(request, request) : request();
    if (ahead) drawn = response.catch(() => {});
    cache.set(key, response.then((r) => api.readFrame(r, movie)));
    while (cache.size > 2 * kAhead) cache.delete(cache.keys().next().value);
  }
  return cache.get(key);
}

// What the canvas shows: a frame of a version, drawn with the page's pointer settings.
const frameKey = (version, frame) => `${version}/${frame}/${overlayQuery()}`;

// The frame on the canvas if it is of the movie and drawn with the page's pointer settings,
// else 0: rows that differ from it fit only over it.
function shownFrame(movie) {
  const [version, frame, overlay] = shownKey.split('/');
  return Number(version) === movie.version && overlay === overlayQuery() ? Number(frame) : 0;
}

// Shows a frame; ahead (playing), its rows are those that differ from frame `after`.
async function draw(movie, frame, after = 0, ahead = false) {
  const key = frameKey(movie.version, frame);
  if (shownKey === key) return;
  const base = ahead ? after : shownFrame(movie);
  let rows = await picture(movie, frame, base, ahead);
  // Some rows fit only over the frame they were taken against; else the whole frame is needed.
  if (rows.rows < movie.height && shownFrame(movie) !== base) rows = await picture(movie, frame);
  if (state.movie?.version !== movie.version) return;
  if (canvas.width !== movie.width || canvas.height !== movie.height) {
    canvas.width = movie.width;
    canvas.height = movie.height;
    layoutStage();
  }
  if (rows.image) context.putImageData(rows.image, 0, rows.top);
  present({ fast: ahead && Math.abs(state.speed) > 1 });
  shownKey = key;
  canvas.dataset.shown = `${movie.version}/${frame}`;
  canvas.dataset.overlay = key.split('/')[2];
}

function showTime() {
  timeText.textContent = state.movie
    ? `${frameTime(state.frame).toFixed(3)} s  ·  frame ${state.frame} / ${state.movie.frames}`
    : 'no movie';
}

async function showCurrent() {
  showTime();
  if (fetching) return;  // the frame on its way looks again when it is shown
  fetching = true;
  let tried = '';
  try {
    while (state.movie && !state.playing && shownKey !== frameKey(state.movie.version, state.frame)) {
      const key = frameKey(state.movie.version, state.frame);
      if (key === tried) break;  // it failed: a version an edit just replaced, the new one follows
      tried = key;
      await draw(state.movie, state.frame).catch(() => {});
    }
  } finally {
    fetching = false;
  }
}

async function play() {
  const run = ++playRun;
  const playing = () => state.playing && run === playRun;
  const movie = state.movie;
  const { version, frameRate, frames } = movie;
  let speed = state.speed;
  let direction = Math.sign(speed);
  let frame = state.frame;
  if (direction > 0 && frame >= frames) frame = 1;
  if (direction < 0 && frame <= 1) frame = frames;
  const pressed = performance.now();
  // The clock starts once the first frame is on the canvas: fetching it after a jump delays
  // the start, as in any player, and no later frame is due sooner for it.
  if (shownKey !== frameKey(version, frame)) await draw(movie, frame);
  let due = performance.now();
  metrics.playbackStarted(pressed, due);
  while (playing() && state.movie?.version === version && frame >= 1 && frame <= frames) {
    if (state.speed !== speed) {  // J or L again: the new speed's clock starts now
      speed = state.speed;
      direction = Math.sign(speed);
      due = performance.now();
      metrics.playbackStarted(due, due);
    }
    const period = (1000 * framesToSeconds(1, frameRate)) / Math.abs(speed);
    for (let ahead = 1; ahead <= kAhead; ++ahead) {
      const next = frame + direction * ahead;
      if (next >= 1 && next <= frames) picture(movie, next, next - direction, true);
    }
    if (shownKey !== frameKey(version, frame)) await picture(movie, frame, frame - direction, true);
    const wait = due - performance.now();
    if (wait > 0) await new Promise((resolve) => setTimeout(resolve, wait));
    if (!playing()) break;
    if (performance.now() - due > period) {
      metrics.frameLate(frame, performance.now() - due - period);
      due = performance.now();
    }
    await draw(movie, frame, frame - direction, true);
    metrics.frameShown();
    update({ frame });
    due += period;
    frame += direction;
  }
  if (run === playRun) update({ playing: false });
}

function startPlaying(speed) {
  if (!state.movie) return;
  const wasPlaying = state.playing;
  update({ playing: true, speed });
  if (!wasPlaying) play();
}

export function pause() {
  if (state.playing) update({ playing: false });
}

// Space: play forward at the movie's rate, or pause.
export function togglePlay() {
  if (state.playing) pause(); else startPlaying(1);
}

// L (direction 1) and J (-1): play that way; pressed again while playing that way, faster.
export function playFaster(direction) {
  const sameWay = state.playing && Math.sign(state.speed) === direction;
  startPlaying(direction * (sameWay ? Math.min(kMaxSpeed, 2 * Math.abs(state.speed)) : 1));
}

export function step(frames) {
  update({ playing: false, frame: clampFrame(state.frame + frames) });
}

export function goToFrame(frame) {
  update({ playing: false, frame: clampFrame(frame) });
}

export const goToStart = () => goToFrame(1);
export const goToEnd = () => goToFrame(lastFrame());

function showSpeed() {
  playButton.textContent = state.playing ? 'Pause' : 'Play';
  const speed = `${state.speed < 0 ? '◀ ' : ''}${Math.abs(state.speed)}×`;
  speedText.textContent = state.playing && state.speed !== 1 ? speed : '';
}

export function initViewer() {
  initStage();
  playButton.addEventListener('click', togglePlay);
  document.getElementById('step-back').addEventListener('click', () => step(-1));
  document.getElementById('step-forward').addEventListener('click', () => step(1));
  document.getElementById('to-start').addEventListener('click', goToStart);
  document.getElementById('to-end').addEventListener('click', goToEnd);
  onUpdate((changed) => {
    if (changed.has('playing') || changed.has('speed')) showSpeed();
    if (changed.has('playing') && !state.playing) present();
    if (changed.has('overlay')) cache.clear();
    if (!state.playing && (changed.has('frame') || changed.has('movie') || changed.has('playing')
      || changed.has('overlay'))) showCurrent();
    if (state.playing && changed.has('frame')) showTime();
  });
}
