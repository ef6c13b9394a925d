// Frames and seconds, converted as the server converts them, so that a time on the page names
// the frame the server edits. Frame rates are whole numbers: a movie slower than one frame a
// second has the rate 0, and its frames then take 0 seconds (never Infinity or NaN).

export function framesToSeconds(frames, frameRate) {
  return frameRate > 0 ? frames / frameRate : 0;
}

// The frame count nearest to a time: floor(rate × seconds + 0.5); a time that is not a number
// gives 0.
export function secondsToFrames(seconds, frameRate) {
  const frames = Math.floor(frameRate * seconds + 0.5);
  return Number.isNaN(frames) ? 0 : frames;
}

// What a person types to go somewhere in a movie: a time in seconds ("12.5") or minutes and
// seconds ("1:02.5"), or a frame number after # ("#317"). Gives the frame, from 1, or null
// when the text is none of these.
export function parseFramePosition(text, frameRate) {
  const typed = text.trim();
  const frame = typed.match(/^#\s*(\d+)$/);
  if (frame) return Number(frame[1]);
  const time = typed.match(/^(?:(\d+):)?(\d+(?:\.\d*)?|\.\d+)\s*s?$/);
  if (!time) return null;
  const seconds = Number(time[1] ?? 0) * 60 + Number(time[2]);
  return secondsToFrames(seconds, frameRate) + 1;
}

// A time as m:ss.fff, the way the ruler and the go-to field write it.
export function formatTime(seconds, decimals = 3) {
  const minutes = Math.floor(seconds / 60);
  const rest = (seconds - minutes * 60).toFixed(decimals).padStart(decimals ? decimals + 3 : 2, '0');
  return `${minutes}:${rest}`;
}
