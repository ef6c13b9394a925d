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
