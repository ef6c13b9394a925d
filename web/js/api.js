// Talks to fmredit serve: the project, movie versions and their frames, uploads, changes and
// the event stream. Every answer that is not OK becomes an Error carrying the server's
// one-line reason (and the project as it now is, when the server sent it).

async function answer(response) {
  const body = await response.json().catch(() => ({}));
  if (!response.ok) {
    const error = new Error(body.error || `${response.status} ${response.statusText}`);
    error.project = body.project;
    throw error;
  }
  return body;
}

export async function getProject() {
  return answer(await fetch('/api/project'));
}

export async function getVersion(version) {
  return answer(await fetch(`/api/versions/${version}`));
}

export function frameUrl(version, frame, width) {
  return `/api/versions/${version}/frames/${frame}.png` + (width ? `?width=${width}` : '');
}

export function movieUrl(version, name) {
  return `/api/versions/${version}/movie.swf?name=${encodeURIComponent(name)}`;
}

// The slide's still stretches and its frame count after tightening to maxIdle seconds:
// {frameCount, frameRate, stretches: [[first, last], ...], framesAfter}.
export async function getStillness(slide, maxIdle) {
  return answer(await fetch(`/api/slides/${slide}/still?maxIdle=${maxIdle}`));
}

// The slide's recorded pointer and keys: {recorded, pointer, settings: {pointer, scale, clicks,
// keys}, keyPresses: [{frame, index, seconds, key}, ...]}.
export async function getPointer(slide) {
  return answer(await fetch(`/api/slides/${slide}/pointer`));
}

// Starts making a video; request is {type, name, and optionally slide (absent: the whole
// project), start and end (seconds in that slide), width and height, crf, lossless, and for a
// GIF or APNG maxSize (the largest file in bytes)}.
// Resolves to {export, frames}: the number to download it by and the frames to encode.
export async function startExport(request) {
  return answer(await fetch('/api/exports', {
    method: 'POST', body: JSON.stringify(request),
    headers: { 'Content-Type': 'application/json' },
  }));
}

export async function cancelExport(number) {
  return answer(await fetch(`/api/exports/${number}/cancel`, { method: 'POST' }));
}

export function exportUrl(number) {
  return `/api/exports/${number}/video`;
}

// The chapters text of a whole-project export ("0:00 Slide name" lines).
export function chaptersUrl(number) {
  return `/api/exports/${number}/chapters.txt`;
}

// Asks for a frame at full size: the player's RGBA pixels exactly, with no image format to
// encode on the server or decode here; given after, the frame the viewer shows, only the rows
// that differ from it (when the server drew that one last). Resolves when the server has
// drawn the frame and starts sending; readFrame then takes the rows. overlay: how to draw the
// recorded pointer and keys, as a query ("pointer=large&scale=2&..."; "": as the movie says).
export function requestFrame(version, frame, after = 0, overlay = '') {
  const query = [after ? `after=${after}` : '', overlay].filter(Boolean).join('&');
  return fetch(`/api/versions/${version}/frames/${frame}.rgba` + (query ? `?${query}` : ''));
}

// The rows sent: {top, rows, image}, image null when no row differs. The body is copied into
// its pixels as it arrives: Response.arrayBuffer() of a frame's megabytes resolves hundreds of
// milliseconds after the last byte in Chromium, reading the stream does not.
export async function readFrame(response, { width }) {
  if (!response.ok) throw new Error((await response.json().catch(() => ({}))).error || 'no frame');
  const [top, rows] = (response.headers.get('X-Rows') ?? '').split(',').map(Number);
  if (!(rows >= 0)) throw new Error('the frame came without its rows');
  const pixels = new Uint8ClampedArray(width * rows * 4);
  let filled = 0;
  const reader = response.body.getReader();
  for (let chunk = await reader.read(); !chunk.done; chunk = await reader.read()) {
    if (filled + chunk.value.length > pixels.length) break;
    pixels.set(chunk.value, filled);
    filled += chunk.value.length;
  }
  reader.releaseLock();
  if (filled !== pixels.length) throw new Error('the frame came incomplete');
  return { top, rows, image: rows ? new ImageData(pixels, width, rows) : null };
}

// Sends a movie or a video (which the server imports); the name travels in the address, where
// any text fits, unlike a header. Resolves to {upload, name}.
export async function upload(file) {
  return answer(await fetch(`/api/uploads?name=${encodeURIComponent(file.name)}`, {
    method: 'POST', body: file, headers: { 'Content-Type': 'application/octet-stream' },
  }));
}

// One change: {action, state, ...}; resolves to {project, message?}, message a line on what
// the change did.
export async function change(request) {
  return answer(await fetch('/api/edits', {
    method: 'POST', body: JSON.stringify(request),
    headers: { 'Content-Type': 'application/json' },
  }));
}

// Calls onProgress({action, percent}), onChanged({state}) and onExport({export, ...}) as the
// server reports.
export function listen(onProgress, onChanged, onExport) {
  const events = new EventSource('/api/events');
  events.addEventListener('progress', (e) => onProgress(JSON.parse(e.data)));
  events.addEventListener('changed', (e) => onChanged(JSON.parse(e.data)));
  events.addEventListener('export', (e) => onExport(JSON.parse(e.data)));
  return events;
}
