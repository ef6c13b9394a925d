// Figures the benchmark and the browser tests read (they import this module into the page):
// how playback keeps time and how the filmstrip's thumbnails arrive. The viewer and the
// timeline report here as they work; times are performance.now() milliseconds.

// Frames shown and frames shown late (with the frame and how late), when the first and the
// last frame were shown, and how long the first took to show after play was pressed.
export const playback = { shown: 0, late: 0, lateFrames: [], started: 0, last: 0, startDelay: 0 };

// Thumbnails wanted, those of the first screenful, loaded so far; when loading started and how
// long the first screenful and all of them took.
export const filmstrip = { wanted: 0, firstScreenCount: 0, loaded: 0, started: 0, firstScreen: 0, all: 0 };

export function playbackStarted(pressed, started) {
  Object.assign(playback, {
    shown: 0, late: 0, lateFrames: [], started, last: started, startDelay: started - pressed,
  });
}

export function frameLate(frame, by) {
  ++playback.late;
  playback.lateFrames.push({ frame, by });
}

export function frameShown() {
  ++playback.shown;
  playback.last = performance.now();
}

export function thumbnailsWanted(wanted, firstScreenCount) {
  Object.assign(filmstrip, {
    wanted, firstScreenCount, loaded: 0, started: performance.now(), firstScreen: 0, all: 0,
  });
}

export function thumbnailLoaded() {
  const since = performance.now() - filmstrip.started;
  ++filmstrip.loaded;
  if (filmstrip.loaded === filmstrip.firstScreenCount) filmstrip.firstScreen = since;
  if (filmstrip.loaded === filmstrip.wanted) filmstrip.all = since;
}
