// The web editor in a real headless browser on a project with a 1080p slide of 6000 frames:
// how soon the page is ready, how soon a clicked frame shows, whether playback at 15 fps
// keeps up for 60 s, how much script a frame of a drag on the filmstrip costs, whether J/L at
// 2x and 4x play with no late frame, how soon the filmstrip's thumbnails arrive, and how long
// the server takes to find the still stretches. Prints medians and percentiles; given a second
// fmredit (an installed older one, say), measures both on the same recording, one after the
// other (what an older page does not offer is skipped).
//
// Usage (a release build, playwright-core installed by npm ci in tests/studio):
//   node bench/bench_studio.mjs BUILD_DIR [FRAMES] [OTHER_FMREDIT]
import { spawnSync } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const build = path.resolve(process.argv[2] ?? 'build/rel');
const frames = process.argv[3] ?? '6000';
const here = path.dirname(fileURLToPath(import.meta.url));
const measured = process.env.STUDIO_BENCH_MOVIE;  // set: measure one fmredit on this movie
process.env.FMREDIT ??= path.join(build, 'cli/fmredit');
const { makeProject, serve, tempFolder, check } = await import(path.join(here, '../tests/studio/support.mjs'));

if (!measured) {
  const movie = path.join(tempFolder(), 'slide-1080p.swf');
  const made = spawnSync(path.join(build, 'bench/make_studio_recording'), [movie, frames], { stdio: 'inherit' });
  check(made.status === 0, 'make_studio_recording');
  for (const fmredit of [process.argv[4], process.env.FMREDIT].filter(Boolean)) {
    console.log(`== ${fmredit}`);
    spawnSync(process.execPath, process.argv.slice(1), {
      stdio: 'inherit', env: { ...process.env, FMREDIT: fmredit, STUDIO_BENCH_MOVIE: movie },
    });
  }
  process.exit(0);
}

const { openBrowser, exposeStudio } = await import(path.join(here, '../tests/studio/editor.test.mjs'));
const percentile = (values, p) => [...values].sort((a, b) => a - b)[Math.min(values.length - 1,
  Math.floor((values.length * p) / 100))];
const median = (values) => percentile(values, 50);
// The renderer's main-thread trace events of a run of fn, through the DevTools protocol.
async function traceOf(fn) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Tracing.start', {
    categories: 'devtools.timeline,disabled-by-default-devtools.timeline,v8', transferMode: 'ReturnAsStream',
  });
  await fn();
  const complete = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
  await cdp.send('Tracing.end');
  const { stream } = await complete;
  let text = '';
  for (let chunk = { eof: false }; !chunk.eof;) {
    chunk = await cdp.send('IO.read', { handle: stream, size: 1 << 20 });
    text += chunk.base64Encoded ? Buffer.from(chunk.data, 'base64').toString() : chunk.data;
  }
  await cdp.detach();
  const events = JSON.parse(text).traceEvents ?? JSON.parse(text);
  const main = events.find((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain'
    && events.some((x) => x.pid === e.pid && x.name === 'EventDispatch'));
  return events.filter((e) => e.pid === main.pid && e.tid === main.tid);
}

// Script time (ms) between one pointermove and the next: events, timers, animation frames and
// promise continuations (a frame's rows coming in), overlaps counted once.
function scriptPerMove(events) {
  const kScript = new Set(['EventDispatch', 'FunctionCall', 'TimerFire', 'FireAnimationFrame', 'RunMicrotasks',
    'v8.run', 'V8.Execute']);
  const moves = events.filter((e) => e.name === 'EventDispatch' && e.args?.data?.type === 'pointermove')
    .map((e) => e.ts).sort((a, b) => a - b);
  const spans = events.filter((e) => e.ph === 'X' && kScript.has(e.name)).map((e) => [e.ts, e.ts + e.dur])
    .sort((a, b) => a[0] - b[0]);
  return moves.slice(0, -1).map((from, i) => {
    const to = moves[i + 1];
    let busy = 0;
    let reached = from;
    for (const [start, end] of spans) {
      const a = Math.max(start, reached);
      const b = Math.min(end, to);
      if (b > a) busy += b - a;
      reached = Math.max(reached, Math.min(end, to));
    }
    return busy / 1000;
  });
}

// A drag of 60 moves at 60 per second over the thumbnails, then one of the selection's out
// handle: the script of each frame of the drag.
async function measureDrags(page) {
  if (!(await page.locator('#ruler').count())) return ['drags: this page has no drag selection'];
  const thumbs = await page.locator('#thumbs').boundingBox();
  const y = thumbs.y + 45;
  const dragOver = (from, to) => traceOf(async () => {
    await page.mouse.move(from, y);
    await page.mouse.down();
    for (let i = 1; i <= 60; ++i) {
      await page.mouse.move(from + ((to - from) * i) / 60, y);
      await page.waitForTimeout(16);
    }
    await page.mouse.up();
  });
  const width = (await page.locator('#strip').boundingBox()).width;
  const lines = [];
  const select = scriptPerMove(await dragOver(thumbs.x + width * 0.2, thumbs.x + width * 0.5));
  const handle = await page.locator('#handle-out').boundingBox();
  const trim = scriptPerMove(await dragOver(handle.x + handle.width / 2, handle.x + width * 0.3));
  for (const [what, frames] of [['selecting', select], ['a handle', trim]]) {
    lines.push(`dragging ${what}: script per frame median ${median(frames).toFixed(2)} ms, max ` +
      `${Math.max(...frames).toFixed(2)} ms, ${frames.filter((t) => t > 16).length} of ${frames.length} over 16 ms`);
  }
  return lines;
}

// From frame 3000, L twice (2x), L again (4x), then J twice (2x back) and again (4x back): 240
// frames each, the frames shown late at each speed.
async function measureSpeeds(page) {
  if (!(await page.locator('#ruler').count())) return ['J/L: this page has no J/L'];
  await page.evaluate('window.studio.update({ frame: 3000 })');
  const lines = [];
  for (const [keys, speed] of [[['l', 'l'], 2], [['l'], 4], [['k', 'j', 'j'], -2], [['j'], -4]]) {
    await page.evaluate('window.studio.metrics.playback.shown = 0');
    for (const key of keys) await page.keyboard.press(key);
    await page.waitForFunction((want) => window.studio.state.speed === want
      && window.studio.metrics.playback.shown >= 240, speed, { timeout: 300000 });
    const shown = await page.evaluate('({...window.studio.metrics.playback})');
    lines.push(`playing at ${speed}x: ${shown.shown} frames in ${((shown.last - shown.started) / 1000).toFixed(3)} s ` +
      `(${((shown.shown - 1) / (15 * Math.abs(speed))).toFixed(3)} s due), ${shown.late} late ` +
      `${JSON.stringify(shown.lateFrames.slice(0, 10))}`);
  }
  await page.keyboard.press('k');
  return lines;
}

// The still stretches and the length after tightening, as the max still control asks for them
// (the slide's movie read and its tags scanned each time): 20 requests, max still 0 to 9.5 s.
async function measureStillness(page) {
  if (!(await page.locator('#max-still').count())) return ['still stretches: this page has none'];
  const times = await page.evaluate(async () => {
    const taken = [];
    for (let i = 0; i < 20; ++i) {
      const start = performance.now();
      await (await fetch(`/api/slides/1/still?maxIdle=${i / 2}`)).json();
      taken.push(performance.now() - start);
    }
    return taken;
  });
  return [`still stretches and length after tightening: median ${median(times).toFixed(1)} ms, ` +
    `max ${Math.max(...times).toFixed(1)} ms (20 requests)`];
}

const folder = tempFolder();
const project = makeProject(folder, [measured]);
const server = await serve(project);
const browser = await openBrowser(folder);
const page = browser.pages()[0] ?? await browser.newPage();
try {
  // Page ready: from navigation to the first frame drawn and the page saying ready.
  const readyTimes = [];
  for (let i = 0; i < 5; ++i) {
    const start = Date.now();
    await page.goto(server.address);
    await page.waitForFunction(() => document.body.dataset.ready === 'true'
      && document.getElementById('frame').dataset.shown);
    readyTimes.push(Date.now() - start);
  }
  await exposeStudio(page);
  await page.waitForFunction(() => window.studio.metrics.filmstrip.all > 0, null, { timeout: 60000 });
  const strip = await page.evaluate('({...window.studio.metrics.filmstrip})');

  // A random frame: from the press on the timeline (the ruler, where a page has one) to the
  // frame drawn.
  const box = await page.locator('#strip-content').boundingBox();
  const clickTimes = [];
  const fetchTimes = [];  // of each, from the request of the frame to its last byte
  for (let i = 0; i < 40; ++i) {
    await page.evaluate(() => {
      const canvas = document.getElementById('frame');
      window.__shown = 0;
      document.getElementById('strip-content').addEventListener('pointerdown', () => {
        window.__clicked = performance.now();
      }, { once: true, capture: true });
      new MutationObserver((_, observer) => {
        if (canvas.dataset.shown.endsWith(`/${window.studio.state.frame}`)) {
          window.__shown = performance.now();
          observer.disconnect();
        }
      }).observe(canvas, { attributes: true });
    });
    await page.mouse.click(box.x + 2 + Math.random() * (box.width - 4), box.y + 10);
    await page.waitForFunction(() => window.__shown > 0);
    clickTimes.push(await page.evaluate(() => window.__shown - window.__clicked));
    fetchTimes.push(await page.evaluate(() => {
      const last = performance.getEntriesByType('resource').filter((e) => e.name.includes('.rgba')).pop();
      performance.clearResourceTimings();
      return last ? last.responseEnd - last.startTime : NaN;
    }));
  }
  console.log(`page ready: median ${median(readyTimes)} ms of ${readyTimes.join(', ')}`);
  console.log(`random frame after a click: median ${median(clickTimes).toFixed(1)} ms, ` +
    `95th percentile ${percentile(clickTimes, 95).toFixed(1)} ms (40 clicks); of which the frame's request ` +
    `to its last byte: median ${median(fetchTimes).toFixed(1)} ms`);
  console.log(`filmstrip: ${strip.wanted} thumbnails; first screenful (${strip.firstScreenCount}) ` +
    `in ${strip.firstScreen.toFixed(0)} ms, all in ${strip.all.toFixed(0)} ms`);
  for (const line of await measureDrags(page)) console.log(line);
  for (const line of await measureStillness(page)) console.log(line);

  // Playback from frame 1 (a jump from the last frame clicked) for 900 frames, 60 s.
  await page.evaluate('window.studio.update({ frame: 1 })');
  await page.keyboard.press('Space');
  await page.waitForFunction(() => window.studio.metrics.playback.shown >= 900, null, { timeout: 300000 });
  await page.keyboard.press('Space');
  const playback = await page.evaluate('({...window.studio.metrics.playback})');

  console.log(`playback at 15 fps: the first frame ${playback.startDelay.toFixed(1)} ms after ` +
    `Space; ${playback.shown} frames in ${((playback.last - playback.started) / 1000).toFixed(3)} s ` +
    `(59.933 s due), ${playback.late} late ${JSON.stringify(playback.lateFrames.slice(0, 10))}`);
  for (const line of await measureSpeeds(page)) console.log(line);
} finally {
  await browser.close();
  await server.stop();
}
