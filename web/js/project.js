// Keeps the page's copy of the project current: after a change from this page or another,
// the slide list, the movie facts of the slide in the viewer and the playhead follow.
import * as api from './api.js';
import { state, update, clampFrame } from './store.js';

// Takes a project as the server described it; loads the viewed slide's movie when it changed.
export async function showProject(project, slide = state.slide) {
  const number = Math.max(1, Math.min(project.slides.length, slide));
  const version = project.slides[number - 1]?.version ?? 0;
  const checked = new Set([...state.checked].filter((n) => n <= project.slides.length));
  if (version === state.movie?.version) {
    update({ project, slide: number, checked });
    return;
  }
  const movie = version ? await api.getVersion(version) : null;
  const sameMovieLength = movie && state.movie && movie.frames === state.movie.frames;
  update({
    project, slide: number, checked, movie,
    inPoint: sameMovieLength ? state.inPoint : null,
    outPoint: sameMovieLength ? state.outPoint : null,
  });
  update({ frame: clampFrame(state.frame) });
}

export async function reloadProject() {
  await showProject(await api.getProject());
}
