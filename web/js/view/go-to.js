// The go-to field: a time (12.5, 1:02.5) or a frame number (#317) typed and Enter moves the
// playhead there; what cannot be read is said in the status line.
import { state, say } from '../store.js';
import { parseFramePosition } from '../time.js';
import { goToFrame } from './viewer.js';

const field = document.getElementById('go-to');

function go() {
  const frame = state.movie && parseFramePosition(field.value, state.movie.frameRate);
  if (frame === null || frame === undefined) {
    say(`go to: "${field.value}" is neither a time (12.5, 1:02.5) nor a frame (#317)`, true);
    return;
  }
  if (frame < 1 || frame > state.movie.frames) {
    say(`go to: frame ${frame} is outside the movie's frames 1 to ${state.movie.frames}`, true);
    return;
  }
  goToFrame(frame);
  say(`at frame ${frame}`);
  field.value = '';
  field.blur();
}

export function initGoTo() {
  field.addEventListener('keydown', (e) => {
    if (e.key === 'Enter') go();
    if (e.key === 'Escape') field.blur();
  });
}
