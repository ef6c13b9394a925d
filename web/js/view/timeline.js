// The timeline: a filmstrip of thumbnails along the movie, zoomable, with the playhead, the in
// and out points and the selection between them, and the key-frame blocks as a bar beneath.
// Clicking jumps there. Thumbnails load visible ones first, a few at a time.
import * as api from '../api.js';
import { state, update, onUpdate, clampFrame, selection } from '../store.js';
import { framesToSeconds } from '../time.js';
import * as metrics from '../metrics.js';

const strip = document.getElementById('strip');
const content = document.getElementById('strip-content');
const thumbs = document.getElementById('thumbs');
const blocks = document.getElementById('blocks');
const range = document.getElementById('range');
const playhead = document.getElementById('playhead');
const selectionText = document.getElementById('selection');
const kThumbHeight = 90;
const kParallelLoads = 4;
const kMaxPixelsPerFrame = 160;

let zoom = 1;           // 1: the whole movie fits the strip
let queue = [];         // thumbnails waiting to load, in order
let loading = 0;

function pixelsPerFrame() {
  return (strip.clientWidth / Math.max(1, state.movie?.frames ?? 1)) * zoom;
}

function frameAt(x) {
  return clampFrame(Math.floor(x / pixelsPerFrame()) + 1);
}

function thumbWidth() {
  const { width, height } = state.movie;
  return Math.max(16, Math.round((kThumbHeight * width) / height));
}

function loadNext() {
  while (loading < kParallelLoads && queue.length) {
    const img = queue.shift();
    ++loading;
    img.onload = img.onerror = () => {
      --loading;
      metrics.thumbnailLoaded();
      loadNext();
    };
    img.src = img.dataset.src;
  }
}

function layoutThumbs() {
  thumbs.replaceChildren();
  queue = [];
  if (!state.movie) return;
  const total = state.movie.frames * pixelsPerFrame();
  const width = thumbWidth();
  const count = Math.ceil(total / width);
  const visibleFrom = Math.floor(strip.scrollLeft / width);
  const visibleTo = Math.ceil((strip.scrollLeft + strip.clientWidth) / width);
  const visible = [];
  const rest = [];
  for (let i = 0; i < count; ++i) {
    const img = document.createElement('img');
    const frame = frameAt(i * width);
    img.style.left = `${i * width}px`;
    img.style.width = `${Math.min(width, total - i * width)}px`;
    img.alt = `frame ${frame}`;
    img.dataset.src = api.frameUrl(state.movie.version, frame, width);
    thumbs.append(img);
    (i >= visibleFrom && i < visibleTo ? visible : rest).push(img);
  }
  queue = [...visible, ...rest];
  metrics.thumbnailsWanted(count, visible.length);
  loadNext();
}

function layoutBlocks() {
  blocks.replaceChildren();
  if (!state.movie) return;
  const scale = pixelsPerFrame();
  const starts = state.movie.keyFrames;
  starts.forEach((start, i) => {
    const end = i + 1 < starts.length ? starts[i + 1] : state.movie.frames + 1;
    const block = document.createElement('div');
    block.style.left = `${(start - 1) * scale}px`;
    block.style.width = `${(end - start) * scale}px`;
    block.title = `key-frame block from frame ${start}`;
    blocks.append(block);
  });
}

function layout() {
  content.style.width = `${(state.movie?.frames ?? 0) * pixelsPerFrame()}px`;
  layoutThumbs();
  layoutBlocks();
  showMarks();
}

function showMarks() {
  const scale = pixelsPerFrame();
  playhead.style.left = `${(state.frame - 1) * scale}px`;
  const chosen = selection();
  range.hidden = !chosen;
  if (chosen) {
    range.style.left = `${(chosen.first - 1) * scale}px`;
    range.style.width = `${(chosen.last - chosen.first + 1) * scale}px`;
    const seconds = framesToSeconds(chosen.last - chosen.first + 1, state.movie.frameRate);
    selectionText.textContent = `frames ${chosen.first}–${chosen.last} (${seconds.toFixed(3)} s)`;
  } else {
    selectionText.textContent = 'no selection';
  }
  if (state.playing) {
    const x = (state.frame - 1) * scale;
    if (x < strip.scrollLeft || x > strip.scrollLeft + strip.clientWidth) strip.scrollLeft = x;
  }
}

export function setZoom(factor) {
  const ratio = strip.clientWidth / Math.max(1, state.movie?.frames ?? 1);
  zoom = Math.max(1, Math.min(kMaxPixelsPerFrame / ratio, zoom * factor));
  layout();
  strip.scrollLeft = (state.frame - 1) * pixelsPerFrame() - strip.clientWidth / 2;
}

export function setInPoint() {
  update({ inPoint: state.frame });
}

export function setOutPoint() {
  update({ outPoint: state.frame });
}

export function initTimeline() {
  content.addEventListener('click', (e) => {
    const x = e.clientX - content.getBoundingClientRect().left;
    update({ playing: false, frame: frameAt(x) });
  });
  document.getElementById('zoom-in').addEventListener('click', () => setZoom(2));
  document.getElementById('zoom-out').addEventListener('click', () => setZoom(0.5));
  document.getElementById('set-in').addEventListener('click', setInPoint);
  document.getElementById('set-out').addEventListener('click', setOutPoint);
  let scrollTimer = 0;
  strip.addEventListener('scroll', () => {
    clearTimeout(scrollTimer);
    scrollTimer = setTimeout(() => {
      // Visible thumbnails first after a scroll, too.
      const width = state.movie ? thumbWidth() : 1;
      const from = Math.floor(strip.scrollLeft / width);
      const to = Math.ceil((strip.scrollLeft + strip.clientWidth) / width);
      const visible = [...thumbs.children].slice(from, to).filter((img) => queue.includes(img));
      queue = [...visible, ...queue.filter((img) => !visible.includes(img))];
    }, 100);
  });
  window.addEventListener('resize', layout);
  onUpdate((changed) => {
    if (changed.has('movie')) {
      zoom = 1;
      layout();
    } else if (changed.has('frame') || changed.has('inPoint') || changed.has('outPoint')) {
      showMarks();
    }
  });
}
