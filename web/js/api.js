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

// The frame as a bitmap with exactly the server's pixels.
export async function getFrame(version, frame, width) {
  const response = await fetch(frameUrl(version, frame, width));
  if (!response.ok) throw new Error((await response.json().catch(() => ({}))).error || 'no frame');
  return createImageBitmap(await response.blob(), {
    colorSpaceConversion: 'none', premultiplyAlpha: 'none',
  });
}

export async function upload(file) {
  return answer(await fetch('/api/uploads', {
    method: 'POST', body: file,
    headers: { 'Content-Type': 'application/octet-stream', 'X-Movie-Name': file.name },
  }));
}

// One change: {action, state, ...}; resolves to {project}.
export async function change(request) {
  return answer(await fetch('/api/edits', {
    method: 'POST', body: JSON.stringify(request),
    headers: { 'Content-Type': 'application/json' },
  }));
}

// Calls onProgress({action, percent}) and onChanged({state}) as the server reports.
export function listen(onProgress, onChanged) {
  const events = new EventSource('/api/events');
  events.addEventListener('progress', (e) => onProgress(JSON.parse(e.data)));
  events.addEventListener('changed', (e) => onChanged(JSON.parse(e.data)));
  return events;
}
