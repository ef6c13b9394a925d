// The mouse on the filmstrip: a click on a thumbnail shows the frame it pictures; a press or a
// drag on the ruler moves the playhead there; a drag over the thumbnails selects the frames it
// covers; the selection's handles move its ends. While a drag goes on, the viewer shows the
// frame at the moving end, so a cut point is chosen by its picture.
import { state, update, clearError, lastFrame } from '../store.js';
import { frameAt } from './strip-scale.js';

const content = document.getElementById('strip-content');
const kDragStart = 4; // pixels the pointer moves before a press on the thumbnails is a drag

let drag = null; // {kind: 'select' | 'scrub' | 'in' | 'out', startX, moved, target}

function xIn(e) {
  return e.clientX - content.getBoundingClientRect().left;
}

function kindOf(target) {
  if (target.id === 'handle-in') return 'in';
  if (target.id === 'handle-out') return 'out';
  return target.closest('#ruler') ? 'scrub' : 'select';
}

function moveTo(x) {
  const frame = frameAt(x);
  switch (drag.kind) {
    case 'scrub':
      update({ frame });
      break;
    case 'select': {
      const start = frameAt(drag.startX);
      update({ inPoint: Math.min(start, frame), outPoint: Math.max(start, frame), frame });
      break;
    }
    case 'in': {
      const inPoint = Math.min(frame, state.outPoint ?? lastFrame());
      update({ inPoint, frame: inPoint });
      break;
    }
    case 'out': {
      const outPoint = Math.max(frame, state.inPoint ?? 1);
      update({ outPoint, frame: outPoint });
      break;
    }
  }
}

// A press that did not move: a thumbnail shows its own frame, anywhere else the one under it.
function click(target, x) {
  const thumbnail = target.closest('#thumbs img');
  update({ frame: thumbnail ? Number(thumbnail.dataset.frame) : frameAt(x) });
}

export function initStripPointer() {
  content.addEventListener('pointerdown', (e) => {
    if (e.button !== 0 || !state.movie) return;
    e.preventDefault();
    drag = { kind: kindOf(e.target), startX: xIn(e), moved: false, target: e.target };
    content.setPointerCapture(e.pointerId);
    if (state.playing) update({ playing: false });
    if (drag.kind === 'scrub') moveTo(drag.startX);
  });
  content.addEventListener('pointermove', (e) => {
    if (!drag) return;
    const x = xIn(e);
    if (!drag.moved && drag.kind === 'select' && Math.abs(x - drag.startX) < kDragStart) return;
    drag.moved = true;
    moveTo(x);
  });
  content.addEventListener('pointerup', (e) => {
    if (!drag) return;
    if (!drag.moved && drag.kind === 'select') click(drag.target, drag.startX);
    if (drag.moved && drag.kind !== 'scrub') clearError();
    drag = null;
    content.releasePointerCapture(e.pointerId);
  });
  content.addEventListener('pointercancel', () => {
    drag = null;
  });
}
