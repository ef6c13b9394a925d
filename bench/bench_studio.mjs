// The web editor in a real headless browser on a project with a 1080p slide of 6000 frames:
// how soon the page is ready, how soon a clicked frame shows, whether playback at 15 fps
// keeps up for 60 s, and how soon the filmstrip's thumbnails arrive. Prints medians; given
// a second fmredit (an installed older one, say), measures both on the same recording, one
// after the other.
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
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
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

  // A random frame: from the click on the timeline to the frame drawn.
  const box = await page.locator('#strip-content').boundingBox();
  const clickTimes = [];
  for (let i = 0; i < 30; ++i) {
    await page.evaluate(() => {
      const canvas = document.getElementById('frame');
      window.__shown = 0;
      document.getElementById('strip-content').addEventListener('click', () => {
        window.__clicked = performance.now();
      }, { once: true, capture: true });
      new MutationObserver((_, observer) => {
        if (canvas.dataset.shown.endsWith(`/${window.studio.state.frame}`)) {
          window.__shown = performance.now();
          observer.disconnect();
        }
      }).observe(canvas, { attributes: true });
    });
    await page.mouse.click(box.x + 2 + Math.random() * (box.width - 4), box.y + 20);
    await page.waitForFunction(() => window.__shown > 0);
    clickTimes.push(await page.evaluate(() => window.__shown - window.__clicked));
  }

  // Playback from frame 1 (a jump from the last frame clicked) for 900 frames, 60 s.
  await page.evaluate('window.studio.update({ frame: 1 })');
  await page.keyboard.press('Space');
  await page.waitForFunction(() => window.studio.metrics.playback.shown >= 900, null, { timeout: 90000 });
  await page.keyboard.press('Space');
  const playback = await page.evaluate('({...window.studio.metrics.playback})');

  console.log(`page ready: median ${median(readyTimes)} ms of ${readyTimes.join(', ')}`);
  console.log(`random frame after a click: median ${median(clickTimes).toFixed(1)} ms (30 clicks)`);
  console.log(`playback at 15 fps: the first frame ${playback.startDelay.toFixed(1)} ms after ` +
    `Space; ${playback.shown} frames in ${((playback.last - playback.started) / 1000).toFixed(3)} s ` +
    `(59.933 s due), ${playback.late} late ${JSON.stringify(playback.lateFrames)}`);
  console.log(`filmstrip: ${strip.wanted} thumbnails; first screenful (${strip.firstScreenCount}) ` +
    `in ${strip.firstScreen.toFixed(0)} ms, all in ${strip.all.toFixed(0)} ms`);
} finally {
  await browser.close();
  await server.stop();
}
