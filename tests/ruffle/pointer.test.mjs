// An independent SWF player shows the recorded pointer where ours does: a movie recorded by
// fmredit record gets a known pointer track (pointer_movie); Ruffle, in Debian's chromium, plays
// it from 127.0.0.1 to its stop frame, and the pointer's pixels on its stage stand where the
// track puts them, in the shape's colours; fmredit render draws that frame's pointer there too.
// Exits 77 (skipped) when chromium is missing.
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const kChromium = '/usr/bin/chromium';
const kSkipped = 77;
const kStage = { width: 160, height: 120 };
const kBackground = [0x30, 0x60, 0x90];
const kRecordedFrames = 8;
const kFps = 15;
const kPointerAt = { x: 97, y: 61 };
const kTolerance = 48;    // per channel, for colour conversions on the way to the screen
const kPollMs = 400;      // several frames' time: a playing movie moves the pointer between polls
const kTimeoutMs = 60000;

const here = path.dirname(fileURLToPath(import.meta.url));

function check(condition, what) {
  if (!condition) throw new Error(`FAILED: ${what}`);
}

function run(program, args, input) {
  const result = spawnSync(program, args, { input, encoding: input ? undefined : 'utf8' });
  check(result.status === 0, `${path.basename(program)} ${args.join(' ')}: ${result.stderr}`);
  return result.stdout.toString();
}

// A movie of kRecordedFrames frames of the background, recorded by fmredit record, with the
// pointer track put on it; both files checked by the independent parser. Returns the movie and
// the pointer its track ends with.
function makeMovie(folder) {
  const recorded = path.join(folder, 'recorded.swf');
  const movie = path.join(folder, 'movie.swf');
  const frame = Buffer.alloc(kStage.width * kStage.height * 4, 0xff);
  for (let i = 0; i < frame.length; i += 4) frame.set(kBackground, i);
  run(process.env.FMREDIT, ['record', '--raw', `${kStage.width}x${kStage.height}`, '--fps',
    String(kFps), '-o', recorded], Buffer.concat(Array(kRecordedFrames).fill(frame)));
  const put = run(process.env.POINTER_MOVIE, [recorded, movie, String(kPointerAt.x),
    String(kPointerAt.y)]);
  for (const file of [recorded, movie]) run('node', [process.env.ZU_ORACLE, file]);
  return { movie, put: JSON.parse(put) };
}

// Serves the page, Ruffle's files and the movie from 127.0.0.1 on a free port.
function servePlayer(movie) {
  const ruffle = path.join(here, 'node_modules/@ruffle-rs/ruffle');
  const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.map': 'application/json' };
  const server = createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    let file = null;
    let type = 'text/html';
    if (url.pathname === '/') {
      file = path.join(here, 'player.html');
    } else if (url.pathname === '/movie.swf') {
      file = movie;
      type = 'application/x-shockwave-flash';
    } else if (/^\/ruffle\/[\w.-]+$/.test(url.pathname)) {
      file = path.join(ruffle, url.pathname.slice('/ruffle/'.length));
      type = types[path.extname(file)] ?? 'application/octet-stream';
    }
    if (!file || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': type }).end(readFileSync(file));
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

// Screenshots of the player until two in a row, kPollMs apart, are the same after the movie's
// length has passed: the movie stands on its stop frame.
async function stoppedStage(page) {
  const player = page.locator('#player');
  await page.waitForFunction(() => document.getElementById('player')?.ruffle().readyState === 2,
    null, { timeout: kTimeoutMs });
  const started = Date.now();
  const playMs = ((kRecordedFrames + 2) * 1000) / kFps;
  let before = null;
  for (;;) {
    check(Date.now() - started < kTimeoutMs, 'the player reaches the stop frame in time');
    await page.waitForTimeout(kPollMs);
    const now = await player.screenshot();
    if (before && now.equals(before) && Date.now() - started > playMs) return now;
    before = now;
  }
}

// The picture's size, its first pixel, the bounding box of the pixels off the background and
// how many pixels are near each colour.
function measure(page, png, colours) {
  return page.evaluate(async ({ base64, background, tolerance, wanted }) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const picture = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const scratch = new OffscreenCanvas(picture.width, picture.height).getContext('2d');
    scratch.drawImage(picture, 0, 0);
    const data = scratch.getImageData(0, 0, picture.width, picture.height).data;
    const near = (i, rgb) => rgb.every((v, c) => Math.abs(data[i + c] - v) <= tolerance);
    const box = { left: Infinity, top: Infinity, right: -Infinity, bottom: -Infinity };
    const counts = wanted.map(() => 0);
    for (let y = 0; y < picture.height; ++y) {
      for (let x = 0; x < picture.width; ++x) {
        const i = (y * picture.width + x) * 4;
        if (near(i, background)) continue;
        box.left = Math.min(box.left, x);
        box.top = Math.min(box.top, y);
        box.right = Math.max(box.right, x + 1);
        box.bottom = Math.max(box.bottom, y + 1);
        wanted.forEach((rgb, n) => { counts[n] += near(i, rgb); });
      }
    }
    return { width: picture.width, height: picture.height, first: [...data.slice(0, 3)], box, counts };
  }, { base64: png.toString('base64'), background: kBackground, tolerance: kTolerance, wanted: colours });
}

async function main() {
  if (!existsSync(kChromium)) {
    console.log(`SKIPPED: ${kChromium} is missing, so no browser runs the independent player`);
    process.exit(kSkipped);
  }
  for (const name of ['FMREDIT', 'POINTER_MOVIE', 'ZU_ORACLE']) {
    check(process.env[name], `${name} is set (ctest sets it)`);
  }
  const startedAt = Date.now();
  const folder = mkdtempSync(path.join(tmpdir(), 'ruffle-test-'));
  process.on('exit', () => rmSync(folder, { recursive: true, force: true }));
  const { movie, put } = makeMovie(folder);

  check(put.x === kPointerAt.x && put.y === kPointerAt.y, `the track ends at ${kPointerAt.x},${kPointerAt.y}`);
  const left = put.x - put.hotX;
  const top = put.y - put.hotY;
  const expected = { left, top, right: left + put.width, bottom: top + put.height };
  const colours = put.colours.map((hex) => [0, 2, 4].map((at) => parseInt(hex.slice(at, at + 2), 16)));

  const server = await servePlayer(movie);
  const browser = await chromium.launch({
    executablePath: kChromium, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 400, height: 300 }, deviceScaleFactor: 1 });
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    await page.goto(`http://127.0.0.1:${server.address().port}/?width=${kStage.width}&height=${kStage.height}`);
    const stage = await stoppedStage(page);
    check(problems.length === 0, `the page runs without errors: ${problems.join('; ')}`);
    // Ours: fmredit render draws the stop frame with the pointer shown.
    const rendered = path.join(folder, 'ours.png');
    run(process.env.FMREDIT, ['render', movie, '--frame', String(kRecordedFrames + 2), '--pointer', 'show',
      '-o', rendered]);
    for (const [who, picture] of [['the independent player', stage], ['fmredit render', readFileSync(rendered)]]) {
      const shown = await measure(page, picture, colours);
      check(shown.width === kStage.width && shown.height === kStage.height,
        `${who}: the stage is ${kStage.width}x${kStage.height} pixels (${shown.width}x${shown.height})`);
      check(kBackground.every((v, c) => Math.abs(shown.first[c] - v) <= kTolerance),
        `${who}: the recorded picture shows (first pixel ${shown.first})`);
      const box = JSON.stringify(shown.box);
      check(box === JSON.stringify(expected),
        `${who}: the pointer covers ${JSON.stringify(expected)} as the track says (it covers ${box})`);
      shown.counts.forEach((count, n) => check(count >= 3,
        `${who}: the pointer's colour ${put.colours[n]} shows (${count} pixels)`));
    }
    console.log(`the independent player and fmredit render show the pointer at ${JSON.stringify(expected)}`
      + ` (${Date.now() - startedAt} ms)`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
