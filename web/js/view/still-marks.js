// The still stretches on the filmstrip, hatched over their frames; more strongly those that
// tightening with the max still would shorten.
import { state } from '../store.js';
import { secondsToFrames } from '../time.js';
import { pixelsPerFrame } from './strip-scale.js';

const layer = document.getElementById('still');

export function layoutStill() {
  const { still } = state;
  if (!still || still.version !== state.movie?.version) {
    layer.replaceChildren();
    return;
  }
  const scale = pixelsPerFrame();
  const keep = secondsToFrames(still.maxStill, still.frameRate);
  layer.replaceChildren(...still.stretches.map(([first, last]) => {
    const mark = document.createElement('div');
    mark.style.left = `${(first - 1) * scale}px`;
    mark.style.width = `${(last - first + 1) * scale}px`;
    mark.classList.toggle('long', last - first + 1 > keep);
    mark.title = `still: frames ${first}–${last}`;
    return mark;
  }));
}
