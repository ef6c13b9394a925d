// The web editor in a real browser (Debian's chromium, headless): a project of real
// recordings; play, step, the filmstrip's clicks, drags and handles, the ruler, the keys, delete,
// undo, redo, a history click, split, insert, merge, export through the dialog, uploads of
// movies and videos, rename, drag to reorder, remove, still stretches, tighten and speed up,
// the pointer switches previewed and a key press deleted;
// and the picture on the page equals our rendering of that frame, pixel for pixel. Remakes the
// README's picture of the editor.
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync } from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';
import {
  addPointer, check, checkWithOracle, makeProject, record, recordPauses, run, serve, tempFolder,
} from './support.mjs';

export const kBrowserFlags = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export async function openBrowser(folder) {
  const profile = path.join(folder, 'profile');
  mkdirSync(profile);
  return chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: kBrowserFlags,
    viewport: { width: 1400, height: 900 }, acceptDownloads: true,
    bypassCSP: true,  // the tests' own page.evaluate strings
  });
}

// window.studio: the page's store and metrics, the very modules it runs, for the checks to read.
export const exposeStudio = (page) => page.evaluate(`Promise.all([import('/js/store.js'), import('/js/metrics.js')])
  .then(([store, metrics]) => { window.studio = { ...store, metrics }; })`);
const studio = (page, expression) => page.evaluate(`window.studio.${expression}`);
const press = async (page, ...keys) => { for (const key of keys) await page.keyboard.press(key); };

const waitShown = (page, frame) => page.waitForFunction((f) => !window.studio.state.busy
  && document.getElementById('frame').dataset.shown === `${window.studio.state.movie.version}/${f}`, frame);

// Bytes that differ between the viewer's canvas and a PNG rendered by fmredit render.
async function differingBytes(page, png) {
  return page.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const expected = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const shown = document.getElementById('frame');
    if (shown.width !== expected.width || shown.height !== expected.height) return -1;
    const scratch = new OffscreenCanvas(expected.width, expected.height).getContext('2d');
    scratch.drawImage(expected, 0, 0);
    const want = scratch.getImageData(0, 0, expected.width, expected.height).data;
    const got = shown.getContext('2d').getImageData(0, 0, shown.width, shown.height).data;
    let differ = 0;
    for (let i = 0; i < want.length; ++i) differ += want[i] !== got[i];
    return differ;
  }, readFileSync(png).toString('base64'));
}

async function expectFrameOf(page, movie, frame, folder, what) {
  const png = path.join(folder, `expected-${path.basename(movie)}-${frame}.png`);
  check(run(['render', movie, '--frame', String(frame), '-o', png]).code === 0, `render ${frame}`);
  const differ = await differingBytes(page, png);
  check(differ === 0, `${what}: the page shows our rendering of frame ${frame} (${differ} bytes differ)`);
}

// A checksum of the viewer's canvas.
const canvasSum = (page) => page.evaluate(() => {
  const canvas = document.getElementById('frame');
  const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
  return data.reduce((sum, byte) => (sum * 31 + byte) | 0, 0);
});

const slideFrames = (page, n) => studio(page, `state.project.slides[${n - 1}].frames`);
const box = (page, selector) => page.locator(selector).boundingBox();

// Page x of the middle of a frame on the filmstrip.
async function frameX(page, frame) {
  const strip = await box(page, '#strip-content');
  return strip.x + (strip.width * (frame - 0.5)) / (await studio(page, 'state.movie.frames'));
}

async function drag(page, fromX, toX, y) {
  await page.mouse.move(fromX, y);
  await page.mouse.down();
  await page.mouse.move(toX, y, { steps: 4 });
  await page.mouse.up();
}

// Drag over the thumbnails from frame 31 to 40, the out handle to frame 45, the in handle to
// 34 (the viewer shows the frame at the moving end) and back to 31.
async function selectByDragging(page, folder, movie) {
  const y = (await box(page, '#thumbs')).y + 40;
  const moveHandle = async (handle, frame) => {
    const at = await box(page, handle);
    await drag(page, at.x + at.width / 2, await frameX(page, frame), at.y + at.height / 2);
  };
  await drag(page, await frameX(page, 31), await frameX(page, 40), y);
  check((await page.textContent('#selection')).startsWith('frames 31–40'), 'a drag selects');
  await moveHandle('#handle-out', 45);
  await moveHandle('#handle-in', 34);
  check((await page.textContent('#selection')).startsWith('frames 34–45'), 'the handles trim');
  await waitShown(page, 34);
  await expectFrameOf(page, movie, 34, folder, 'while trimming');
  await moveHandle('#handle-in', 31);
  check((await page.textContent('#selection')).startsWith('frames 31–45'), 'the selection');
}

// The header's buttons stay put under any status; at 1024x700 the viewer keeps its space; in a
// smaller window the frame shows scaled down (smoothly), and 1:1 shows it at its own size.
async function checkLayout(page) {
  const undoAt = await box(page, '#undo');
  await page.evaluate(`window.studio.say('${'a long status line '.repeat(20)}', true)`);
  await page.evaluate('window.studio.update({ progress: 50 })');
  check((await box(page, '#undo')).x === undoAt.x, 'the header buttons stay in place');
  await page.evaluate('window.studio.update({ progress: null }); window.studio.say("")');
  await page.setViewportSize({ width: 1024, height: 700 });
  check((await box(page, '#frame')).width === 640, 'at 1024x700 the frame keeps its size');
  await page.setViewportSize({ width: 800, height: 560 });
  const scaled = await page.waitForSelector('#scaled:not([hidden])').then((shown) => shown.boundingBox());
  check(scaled.width > 300 && scaled.width < 640, `a smaller window scales the frame to ${scaled.width}`);
  await page.click('#actual-size');
  check((await box(page, '#frame')).width === 640 && !(await box(page, '#scaled')), '1:1');
  await page.click('#actual-size');
  await page.setViewportSize({ width: 1400, height: 900 });
}

// Keys and the go-to field; each row: a key (or, after =, a position typed) and what then holds.
async function checkKeys(page) {
  const frames = await slideFrames(page, 1);
  const rows = [['End', `state.frame === ${frames}`], ['Home', 'state.frame === 1'],
    ['l', 'state.playing && state.speed === 1'], ['l', 'state.speed === 2'], ['l', 'state.speed === 4'],
    ['k', '!state.playing'], ['j', 'state.playing && state.speed === -1'], ['j', 'state.speed === -2'],
    ['k', '!state.playing'], ['i', 'state.inPoint !== null'], ['Escape', 'state.inPoint === null'],
    ['=#20', 'state.frame === 20'], ['=0:02.5', 'state.frame === 39'], ['=2.5x', 'state.message.isError'],
    ['=1.0', 'state.frame === 16 && !state.message.isError']];
  for (const [key, holds] of rows) {
    if (!key.startsWith('=')) await page.keyboard.press(key);
    else await page.fill('#go-to', key.slice(1)).then(() => page.press('#go-to', 'Enter'));
    check(await page.evaluate(`(({ state }) => ${holds})(window.studio)`), `${key}: ${holds}`);
  }
}

async function change(page, key, until) {
  await page.keyboard.press(key);
  await page.waitForFunction(until);
}

// Frames, size and seconds of a video, as ffprobe counts them: {frames, width, height, seconds}.
function probe(file) {
  const probed = spawnSync('ffprobe', ['-v', 'error', '-count_frames', '-select_streams', 'v:0',
    '-show_entries', 'stream=width,height,duration,nb_read_frames', '-of', 'csv=p=0', file],
  { encoding: 'utf8' });
  const [width, height, seconds, frames] = probed.stdout.trim().split(',').map(Number);
  return { frames, width, height, seconds, error: probed.stderr };
}

// Exports through the dialog (format, range, scale, max size in MB for a GIF or APNG) and
// downloads the video; or, told to cancel, cancels it once the server has started it and
// resolves to the export's number.
async function exportVideo(page, folder, { type, range, scale = '1', maxSize, cancel = false }) {
  await page.click('#export-video');
  await page.selectOption('#export-type', type);
  await page.check(`input[name=range][value=${range}]`);
  await page.selectOption('#export-scale', scale);
  const limited = ['gif', 'apng'].includes(type);
  check(await page.isVisible('#export-limit') === limited, `a max size offered for ${type}: ${!limited}`);
  if (maxSize !== undefined) await page.fill('#export-max-size', maxSize);
  let result = path.join(folder, `${range}.${type}`);
  if (cancel) {
    await page.click('#export-start');
    result = await (await page.waitForFunction('document.getElementById("export-dialog").dataset.export')).jsonValue();
    await page.click('#export-close');
    await page.waitForFunction('/cancelled/.test(document.getElementById("export-status").textContent)');
  } else {
    const [download] = await Promise.all([page.waitForEvent('download', { timeout: 120000 }),
      page.click('#export-start')]);
    await download.saveAs(result);
  }
  await page.click('#export-close');
  return result;
}

// Nothing in the slides table is cut off by its column, "Shared with" included; only a long
// name ends in an ellipsis (its title has it whole).
async function slidesFit(page, size) {
  await page.setViewportSize(size);
  const cut = await page.evaluate(() => [...document.querySelectorAll('#slides-panel, #slides :is(th, td):not(.name)')]
    .filter((box) => box.scrollWidth > box.clientWidth).map((box) => box.id || box.textContent));
  check(!cut.length, `the slides table fits its column at ${size.width}x${size.height}: ${cut} cut`);
}

// The slides' names as the server now has them.
const slideNames = (page) => page.evaluate(`fetch('/api/project').then((r) => r.json())
  .then((project) => project.slides.map((s) => s.name))`);
// Waits for the page to show the slides named, then checks that the server has them too.
async function expectNames(page, names, what) {
  await page.waitForFunction((want) => !window.studio.state.busy
    && JSON.stringify(window.studio.state.project.slides.map((s) => s.name)) === want, JSON.stringify(names));
  check(JSON.stringify(await slideNames(page)) === JSON.stringify(names), what);
}

async function main() {
  const folder = tempFolder();
  const first = record(path.join(folder, 'first.swf'), '640x400', 90);
  const second = record(path.join(folder, 'second.swf'), '640x400', 40);
  const project = makeProject(folder, [first, second]);
  const server = await serve(project);
  const browser = await openBrowser(folder);
  try {
    const page = browser.pages()[0] ?? await browser.newPage();
    page.on('pageerror', (error) => { throw error; });
    await page.goto(server.address);
    await page.waitForSelector('body[data-ready=true]');
    await exposeStudio(page);
    check(!page.url().includes('token'), 'the token leaves the address bar');
    await waitShown(page, 1);
    await expectFrameOf(page, first, 1, folder, 'first frame');
    await checkLayout(page);

    // Play for a second, pause; step; one second; click the timeline.
    await page.keyboard.press('Space');
    await page.waitForTimeout(1000);
    await page.keyboard.press('Space');
    const played = await studio(page, 'state.frame');
    check(played > 5 && (await studio(page, 'metrics.playback.shown')) >= played - 1, `played to frame ${played}`);
    await waitShown(page, played);
    await expectFrameOf(page, first, played, folder, 'after playing');
    await press(page, 'ArrowRight', 'Shift+ArrowRight', 'ArrowLeft');
    check((await studio(page, 'state.frame')) === played + 15, 'step and one second');
    // A click on the ruler goes to the frame under it; on a thumbnail, to the frame it shows.
    await page.mouse.click(await frameX(page, 46), (await box(page, '#ruler')).y + 10);
    check((await studio(page, 'state.frame')) === 46, 'a ruler click');
    const thumbnail = page.locator('#thumbs img').nth(3);
    const at = await thumbnail.boundingBox();
    await page.mouse.click(at.x + at.width - 3, at.y + 20);
    const clicked = Number(await thumbnail.getAttribute('data-frame'));
    check(clicked > 1 && (await studio(page, 'state.frame')) === clicked, `a thumbnail click shows ${clicked}`);
    await waitShown(page, clicked);
    await expectFrameOf(page, first, clicked, folder, 'after a thumbnail click');
    await checkKeys(page);

    // Select frames 31 to 45, delete: frame 31 then shows what frame 46 showed.
    await selectByDragging(page, folder, first);
    const frames = await slideFrames(page, 1);
    await change(page, 'Delete', `window.studio.state.project.slides[0].frames === ${frames - 15}`);
    check(await page.evaluate(() => [...document.querySelectorAll('#thumbs img')]
      .every((img) => !img.getAttribute('src') || img.naturalWidth > 0)), 'no thumbnail shows broken');
    check((await page.textContent('#slides tbody tr:first-child')).includes(String(frames - 15)),
      'the slide list shows the new length');
    await waitShown(page, 31);
    await expectFrameOf(page, first, 46, folder, 'after the delete');

    for (const [key, left] of [['Control+z', frames], ['Control+y', frames - 15], ['Control+z', frames],
      ['Control+Shift+Z', frames - 15]]) {
      await change(page, key, `window.studio.state.project.slides[0].frames === ${left}`);
    }
    check((await page.locator('#history li').count()) >= 4, 'the history lists every change');

    // Split at frame 20, insert the second recording at the playhead, merge slides 1 and 2.
    await page.evaluate('window.studio.update({ frame: 20 })');
    await change(page, 's', 'window.studio.state.project.slides.length === 3');
    await page.locator('#slides tbody tr').nth(0).click();
    await page.selectOption('#insert-source', '3');
    const before = await slideFrames(page, 1);
    await page.click('#insert');
    await page.waitForFunction(`window.studio.state.project.slides[0].frames > ${before}`);
    await page.locator('#slides tbody tr input').nth(0).check();
    await page.locator('#slides tbody tr input').nth(1).check();
    const [one, two] = [await slideFrames(page, 1), await slideFrames(page, 2)];
    const [merged] = await Promise.all([page.waitForResponse('**/api/edits'), page.click('#merge')]);
    // The merge appends slide 2's movie in front of slide 1's last frame, and says so.
    await page.waitForFunction(`window.studio.state.project.slides[0].frames === ${one + two - 1}
      && !window.studio.state.busy`);
    const said = (await merged.json()).message;
    check(said && (await page.textContent('#message')) === said, `the merge's own line shows: ${said}`);

    // Export the merged slide; the viewer shows our rendering of it, frame by frame checked.
    // Through the dialog: the slide as MP4, its selection as GIF, the whole project at half size
    // as WebM (after one cancelled), each with the frames and size asked for.
    const [swf] = await Promise.all([page.waitForEvent('download'), page.click('#export-swf')]);
    const exported = path.join(folder, 'merged.swf');
    await swf.saveAs(exported);
    checkWithOracle(exported);
    const slideVideo = await exportVideo(page, folder, { type: 'mp4', range: 'slide' });
    const mp4 = probe(slideVideo);
    check(mp4.frames === await slideFrames(page, 1), `the slide as MP4, a picture a frame: ${mp4.error}`);
    await page.evaluate('window.studio.update({ inPoint: 10, outPoint: 29 })');
    // A GIF frame lasts while the picture stays: 20 frames' time, in no more than 20 frames.
    const gif = probe(await exportVideo(page, folder, { type: 'gif', range: 'selection', maxSize: '5' }));
    const rate = await studio(page, 'state.project.slides[0].frameRate');
    check(gif.frames <= 20 && Math.abs(gif.seconds - 20 / rate) < 0.01,
      `the selection as GIF: ${JSON.stringify(gif)}, wanted 20 frames' time at ${rate} a second`);
    const cancelled = await exportVideo(page, folder, { type: 'mkv', range: 'project', cancel: true });
    const gone = await page.evaluate(`fetch('/api/exports/${cancelled}/video').then((r) => r.status)`);
    check(gone === 404, `a cancelled export leaves no video (${gone})`);
    const whole = probe(await exportVideo(page, folder, { type: 'webm', range: 'project', scale: '0.5' }));
    const wholeFrames = await studio(page,
      'state.project.slides.reduce((n, s) => n + Math.round(s.duration * s.frameRate), 0)');
    check(whole.frames === wholeFrames && whole.width === 320 && whole.height === 200,
      `the project at half size: ${JSON.stringify(whole)}, wanted ${wholeFrames} frames of 320x200`);
    const chapters = await page.evaluate(() => fetch(document.getElementById('export-chapters').href)
      .then((r) => r.text()));
    check(chapters.trim().split('\n').length === await studio(page, 'state.project.slides.length'),
      `a chapter a slide:\n${chapters}`);
    for (const frame of [1, 25, 60]) {
      await page.evaluate(`window.studio.update({ frame: ${frame - 1} })`);
      await page.keyboard.press('ArrowRight');
      await waitShown(page, frame);
      await expectFrameOf(page, exported, frame, folder, 'merged slide');
    }
    // Add the second recording as a slide by upload under a name of any script; a minimum of -5
    // is refused saying why; 9 is taken. Zoom its timeline.
    const added = (await studio(page, 'state.project.slides.length')) + 1;
    const unicode = path.join(folder, 'démo 日本 clip.swf');
    copyFileSync(second, unicode);
    await page.setInputFiles('#add-upload', unicode);
    await page.waitForFunction(`window.studio.state.slide === ${added} && !window.studio.state.busy`);
    check((await slideNames(page))[added - 1] === 'démo 日本 clip.swf', 'the slide added by its name');
    await page.fill('#minimum', '-5');
    await page.click('#set-minimum');
    check(/0 seconds or more/.test(await page.textContent('#message.error')), 'a negative minimum: why not');
    await page.fill('#minimum', '9');
    await page.click('#set-minimum');
    await page.waitForFunction(`window.studio.state.project.slides[${added - 1}].minimum === 9`);
    check((await page.textContent(`#slides tbody tr:nth-child(${added})`)).includes('9.000'), 'the minimum shows');
    // The ruler's one-second mark (frame 16) follows the zoom.
    const secondAt = async () => (await page.locator('#ruler span', { hasText: /^0:01(:00)?$/ }).boundingBox()).x
      - (await box(page, '#strip-content')).x;
    const unzoomed = (await page.locator('#strip-content').boundingBox()).width;
    const addedFrames = await slideFrames(page, added);
    check(Math.abs((await secondAt()) - (15 * unzoomed) / addedFrames) < 1, 'the ruler marks one second');
    await page.keyboard.press('Home');
    await page.click('#zoom-in');
    const zoomed = await page.locator('#strip-content').boundingBox();
    check(Math.abs(zoomed.width - 2 * unzoomed) < 2, `zoom doubles the timeline (${unzoomed} to ${zoomed.width})`);
    check(Math.abs((await secondAt()) - (15 * zoomed.width) / addedFrames) < 1, 'zoomed, the ruler too');
    // Ctrl+wheel zooms around the pointer (the frame under it stays there); the wheel scrolls.
    const pointerX = (await box(page, '#strip')).x + 300;
    const frameUnder = async () => {
      const content = await box(page, '#strip-content');
      return ((pointerX - content.x) / content.width) * addedFrames;
    };
    const under = await frameUnder();
    await page.mouse.move(pointerX, zoomed.y + 60);
    await page.keyboard.down('Control');
    await page.mouse.wheel(0, -100);
    await page.keyboard.up('Control');
    await page.waitForFunction((w) => document.getElementById('strip-content').offsetWidth > w * 1.2, zoomed.width);
    check(Math.abs((await frameUnder()) - under) < 0.05, 'Ctrl+wheel zooms around the pointer');
    const scrolled = await page.evaluate('document.getElementById("strip").scrollLeft');
    await page.mouse.wheel(0, 100);
    await page.waitForFunction((x) => document.getElementById('strip').scrollLeft > x, scrolled);

    // Rename the added slide; add the slide's MP4 as a slide; drag that to the top and
    // remove it, the confirmation naming it. The table fits its column.
    await page.fill('#slide-name', 'Démo: première étape');
    await page.press('#slide-name', 'Enter');
    await expectNames(page, [...(await slideNames(page)).slice(0, added - 1), 'Démo: première étape'], 'renamed');
    await page.setInputFiles('#add-upload', slideVideo);
    await page.waitForFunction(`window.studio.state.project.slides.length === ${added + 1}
      && !window.studio.state.busy`);
    const imported = path.join(folder, 'imported.swf');
    check(run(['import', slideVideo, '-o', imported]).code === 0, 'fmredit import');
    checkWithOracle(imported);
    const importedFrames = Number(run(['info', imported]).out.match(/frames:\s+(\d+)/)[1]);
    check((await slideFrames(page, added + 1)) === importedFrames, 'the video imported as fmredit import does');
    const names = await slideNames(page);
    const rows = page.locator('#slides tbody tr');
    await rows.nth(names.length - 1).dragTo(rows.nth(0));
    const moved = [names.at(-1), ...names.slice(0, -1)];
    await expectNames(page, moved, 'the last slide dragged to the top');
    let asked = '';
    page.once('dialog', (dialog) => { asked = dialog.message(); dialog.accept(); });
    await rows.nth(0).locator('button.remove').click();
    await expectNames(page, names.slice(0, -1), 'the slide removed');
    check(asked.includes(names.at(-1)), `the removal asked by name: ${asked}`);
    await slidesFit(page, { width: 1024, height: 700 });
    await slidesFit(page, { width: 1400, height: 900 });
    await page.locator('#slides tbody tr').nth(0).click();
    await page.waitForFunction('window.studio.state.movie.version === window.studio.state.project.slides[0].version');
    if (process.env.STUDIO_SCREENSHOT) {
      await page.evaluate('window.studio.update({ frame: 50 })');
      await press(page, 'i', 'Shift+ArrowRight', 'o');
      await waitShown(page, 65);
      await page.screenshot({ path: process.env.STUDIO_SCREENSHOT });
    }
    // A history click brings the project back to that state and forward again.
    const history = page.locator('#history li');
    const now = await history.count();
    await history.nth(now - 2).click();
    await page.waitForFunction(`window.studio.state.project.slides[${added - 1}]?.minimum === 0`);
    await history.nth(now - 1).click();
    await page.waitForFunction(`window.studio.state.project.slides[${added - 1}]?.minimum === 9`);

    // A movie with a pause of 40 frames, added: its still stretches are hatched over their
    // frames, the one Tighten shortens standing out; max still at 1 s tells the length Tighten
    // then leaves, Tighten leaves it, and Ctrl+Z undoes it; frames 4-23 sped up 2 times go by half.
    const paused = recordPauses(path.join(folder, 'paused.swf'), '160x100', [[6, 40], [3, 5], [4, 0]]);
    await page.setInputFiles('#add-upload', paused.file);
    const lastFrames = (n) => `!window.studio.state.busy && window.studio.state.project.slides.at(-1).frames === ${n}`;
    await page.waitForFunction(`${lastFrames(60)} && document.querySelectorAll('#still div').length === 3`);
    const width = (await box(page, '#strip-content')).width / 60;
    const marks = await page.$$eval('#still div', (all) => all.map((m) => [m.offsetLeft, m.offsetWidth, m.className]));
    check(JSON.stringify(marks) === JSON.stringify(paused.stretches.map(([first, last], i) => [
      Math.round((first - 1) * width), Math.round((last - first + 1) * width), i ? '' : 'long'])), `hatched: ${marks}`);
    check((await page.textContent('#tighten-preview')) === '0:04.0 → 0:03.3', 'the length after tightening');
    await page.fill('#max-still', '1');
    await page.waitForFunction(() => document.getElementById('tighten-preview').textContent === '0:04.0 → 0:02.3');
    await page.click('#tighten');
    await page.waitForFunction(`${lastFrames(35)}
      && document.querySelector('#still div')?.title === 'still: frames 7–21'`);
    check(/^removed 25 still frames/.test(await page.textContent('#message')), 'the status line says what Tighten did');
    await change(page, 'Control+z', lastFrames(60));
    await page.evaluate('window.studio.update({ inPoint: 4, outPoint: 23 })');
    await page.click('#speed-up');
    await page.waitForFunction(lastFrames(50));

    // Redact: a rectangle dragged over the middle of the frame shown, applied to that frame,
    // shows the fill there; then the history is purged after the page asks.
    await page.click('#redact');
    const shown = await box(page, (await page.isHidden('#frame')) ? '#scaled' : '#frame');
    await page.mouse.move(shown.x + shown.width / 4, shown.y + shown.height / 4);
    await page.mouse.down();
    await page.mouse.move(shown.x + 3 * shown.width / 4, shown.y + 3 * shown.height / 4, { steps: 4 });
    await page.mouse.up();
    check(await page.isVisible('#redact-box'), 'the box shows the rectangle drawn');
    await page.click('#redact-apply');
    await page.waitForFunction(() => /^filled /.test(document.getElementById('message').textContent)
      && !window.studio.state.busy);
    await page.waitForFunction(() => {
      const frame = document.getElementById('frame');
      const [r, g, b] = frame.getContext('2d').getImageData(frame.width / 2, frame.height / 2, 1, 1).data;
      return r === 0x80 && g === 0x80 && b === 0x80;
    });
    page.once('dialog', (dialog) => dialog.accept());
    await page.click('#purge');
    await page.waitForFunction(() => window.studio.state.project.history.length === 1);

    // A movie with a recorded pointer and keys, added: hiding the pointer redraws the frame
    // at once, without it; a key press deleted leaves the list one shorter.
    const typed = addPointer(record(path.join(folder, 'typed.swf'), '160x100', 12),
      path.join(folder, 'typed-pointer.swf'));
    await page.setInputFiles('#add-upload', typed);
    await page.waitForFunction(() => !window.studio.state.busy
      && document.querySelectorAll('#key-presses li').length === 3 && !document.getElementById('pointer-panel').hidden);
    await page.evaluate('window.studio.update({ frame: 3 })');
    await waitShown(page, 3);
    await page.waitForFunction(() => document.getElementById('frame').dataset.overlay.startsWith('pointer=show'));
    const withPointer = await canvasSum(page);
    await page.selectOption('#pointer-look', 'hide');
    await page.waitForFunction(() => document.getElementById('frame').dataset.overlay.startsWith('pointer=hide'));
    check((await canvasSum(page)) !== withPointer, 'hiding the pointer redraws the frame without it');
    check(!(await page.isDisabled('#pointer-save')), 'unsaved settings can be saved');
    await page.locator('#key-presses li button').first().click();
    await page.waitForFunction(() => !window.studio.state.busy
      && document.querySelectorAll('#key-presses li').length === 2);
    check((await page.textContent('#key-presses li kbd')) === 'i', 'the first key press went, the rest stay');
  } finally {
    await browser.close();
    await server.stop();
  }
  check(server.child.exitCode === 0, `the server ends cleanly: ${server.output()}`);
  console.log('studio browser tests passed');
}

if (import.meta.url === `file://${process.argv[1]}`) await main();
