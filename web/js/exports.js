// Export as video: the server makes an MP4 or a GIF of the viewed slide's movie while editing
// goes on, reports its progress over the event stream, and the page then downloads it once.
import * as api from './api.js';
import { state, update, say, currentSlide, exportBaseName } from './store.js';

const waiting = new Map(); // export number -> {resolve, reject}
const ended = new Map(); // export number -> its last event, when it came before the answer

// Takes the server's "export" events: {export, percent} while it runs, then ready or error.
export function onExportEvent(event) {
  if (event.percent !== undefined) {
    update({ progress: event.percent });
    return;
  }
  const waiter = waiting.get(event.export);
  if (!waiter) {
    ended.set(event.export, event);
    return;
  }
  waiting.delete(event.export);
  if (event.error) waiter.reject(new Error(event.error)); else waiter.resolve();
}

function finished(number) {
  const early = ended.get(number);
  ended.delete(number);
  if (early) return early.error ? Promise.reject(new Error(early.error)) : Promise.resolve();
  return new Promise((resolve, reject) => waiting.set(number, { resolve, reject }));
}

// Resolves to the address to download the video from once it is made, or null.
export async function exportVideo(type) {
  const slide = currentSlide();
  if (!slide?.version) {
    say('no movie to export', true);
    return null;
  }
  const name = exportBaseName();
  say(`exporting ${name}.${type}…`);
  try {
    const { export: number } = await api.startExport({ type, slide: slide.number, name });
    await finished(number);
    say(`exported ${name}.${type}`);
    return api.exportUrl(number);
  } catch (error) {
    say(error.message, true);
    return null;
  } finally {
    if (!state.busy) update({ progress: null });
  }
}
