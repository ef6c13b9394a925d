// The time ruler above the filmstrip: ticks at steps that suit the zoom (frames when zoomed in,
// seconds to minutes when zoomed out), labelled as minutes:seconds, with :frames added when the
// step is shorter than a second. Only the ticks in view are made, again after each scroll.
import { state } from '../store.js';
import { formatTime } from '../time.js';
import { pixelsPerFrame } from './strip-scale.js';

const strip = document.getElementById('strip');
const ruler = document.getElementById('ruler');
const kLabelSpacing = 80; // pixels at least from one label to the next
const kTickSpacing = 8;   // and from one tick to the next
const kFrameSteps = [1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000];
const kSecondSteps = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600];

// Steps in frames: whole frames within a second, then whole seconds; a movie slower than a
// frame a second (rate 0) counts frames only.
function steps(rate) {
  if (rate <= 0) return kFrameSteps;
  return [...kFrameSteps.filter((f) => f < rate && rate % f === 0), ...kSecondSteps.map((s) => s * rate)];
}

function label(offset, rate, step) {
  if (rate <= 0) return `#${offset + 1}`;
  const time = formatTime(Math.floor(offset / rate), 0);
  return step < rate ? `${time}:${String(offset % rate).padStart(2, '0')}` : time;
}

function element(tag, className, x) {
  const made = document.createElement(tag);
  if (className) made.className = className;
  made.style.left = `${x}px`;
  return made;
}

export function renderRuler() {
  if (!state.movie) {
    ruler.replaceChildren();
    return;
  }
  const { frames, frameRate: rate } = state.movie;
  const scale = pixelsPerFrame();
  const all = steps(rate);
  const major = all.find((s) => s * scale >= kLabelSpacing) ?? all[all.length - 1];
  const minor = [10, 5, 2].map((d) => major / d).find((m) => Number.isInteger(m) && m * scale >= kTickSpacing) ?? major;
  const from = Math.floor(strip.scrollLeft / scale / minor) * minor;
  const to = Math.min(frames, (strip.scrollLeft + strip.clientWidth) / scale);
  const ticks = [];
  for (let offset = from; offset <= to; offset += minor) {
    const x = offset * scale;
    ticks.push(element('div', offset % major ? '' : 'major', x));
    if (offset % major === 0) {
      const text = element('span', '', x);
      text.textContent = label(offset, rate, major);
      ticks.push(text);
    }
  }
  ruler.replaceChildren(...ticks);
}
