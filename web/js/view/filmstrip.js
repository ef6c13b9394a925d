// The filmstrip's thumbnails: one every thumbnail width along the strip, each the frame at its
// left edge (so a click on it shows the very frame it pictures). Only the thumbnails in view
// and a screen either side are on the page; those in view load first, a few at a time. A
// thumbnail keeps the picture it had (after an edit or a zoom) until its new one has loaded,
// and shows a placeholder until it has any.
import * as api from '../api.js';
import { state } from '../store.js';
import * as metrics from '../metrics.js';
import { pixelsPerFrame, frameAt } from './strip-scale.js';

const strip = document.getElementById('strip');
const thumbs = document.getElementById('thumbs');
const kThumbHeight = 90;
const kParallelLoads = 4;

const placed = new Map(); // index along the strip -> its <img>
let queue = [];           // [{index, url}] waiting to load, those in view first
let loading = 0;

function thumbWidth() {
  const { width, height } = state.movie;
  return Math.max(16, Math.round((kThumbHeight * width) / height));
}

// The loaded picture takes the place of the thumbnail's element, so nothing is fetched twice.
function load({ index, url }) {
  ++loading;
  const picture = new Image();
  picture.onload = picture.onerror = () => {
    --loading;
    const img = placed.get(index);
    if (picture.complete && picture.naturalWidth && img?.dataset.want === url) {
      picture.className = 'loaded';
      picture.style.cssText = img.style.cssText;
      Object.assign(picture.dataset, img.dataset);
      picture.alt = img.alt;
      picture.draggable = false;
      img.replaceWith(picture);
      placed.set(index, picture);
    }
    metrics.thumbnailLoaded();
    loadNext();
  };
  picture.src = url;
}

function loadNext() {
  while (loading < kParallelLoads && queue.length) {
    const next = queue.shift();
    if (placed.get(next.index)?.dataset.want === next.url) load(next);
  }
}

function place(index, width, total) {
  let img = placed.get(index);
  if (!img) {
    img = document.createElement('img');
    img.draggable = false;
    thumbs.append(img);
    placed.set(index, img);
  }
  const frame = frameAt(index * width);
  img.style.left = `${index * width}px`;
  img.style.width = `${Math.min(width, total - index * width)}px`;
  img.alt = `frame ${frame}`;
  img.dataset.frame = frame;
  const url = api.frameUrl(state.movie.version, frame, width);
  if (img.dataset.want === url && img.classList.contains('loaded')) return null;
  img.dataset.want = url;
  return { index, url };
}

// Places the thumbnails around the view; after a scroll only the new ones come.
export function layoutThumbs({ scrolled = false } = {}) {
  if (!state.movie) {
    thumbs.replaceChildren();
    placed.clear();
    queue = [];
    return;
  }
  const width = thumbWidth();
  const total = state.movie.frames * pixelsPerFrame();
  const count = Math.ceil(total / width);
  const viewFrom = Math.floor(strip.scrollLeft / width);
  const viewTo = Math.min(count, Math.ceil((strip.scrollLeft + strip.clientWidth) / width));
  const from = Math.max(0, viewFrom - (viewTo - viewFrom));
  const to = Math.min(count, viewTo + (viewTo - viewFrom));
  for (const [index, img] of placed) {
    if (index < from || index >= to) {
      img.remove();
      placed.delete(index);
    }
  }
  const inView = [];
  const nearby = [];
  for (let index = from; index < to; ++index) {
    const wanted = place(index, width, total);
    if (wanted) (index >= viewFrom && index < viewTo ? inView : nearby).push(wanted);
  }
  const fresh = new Set([...inView, ...nearby].map((q) => q.index));
  const waiting = scrolled ? queue.filter((q) => !fresh.has(q.index)) : [];
  queue = [...inView, ...nearby, ...waiting];
  if (!scrolled && queue.length) metrics.thumbnailsWanted(queue.length, inView.length);
  loadNext();
}
