// fmredit serve without a browser: who may talk to it, what it refuses, clients that dawdle,
// two pages editing at once, an edit the engine refuses, slides assembled and the history
// walked, uploads of a movie and of a video under any name, a video export, a slide's pointer
// settings and key presses, and a server killed in the middle of an edit.
import { copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { request as httpRequest } from 'node:http';
import { connect } from 'node:net';
import path from 'node:path';
import {
  addPointer, check, checkWithOracle, edit, makeProject, record, recordPauses, run, send, serve,
  tempFolder,
} from './support.mjs';

const folder = tempFolder();
const movie = record(path.join(folder, 'a.swf'), '320x200', 150);
const small = record(path.join(folder, 'small.swf'), '160x100', 20);
const project = makeProject(folder, [movie, movie]);
const listOf = (file) => run(['project', 'list', file]).out;

// Resolves with the first server-sent event of the name (that wanted takes), read from
// /api/events.
function nextEvent(server, name, wanted = () => true) {
  return new Promise((resolve, reject) => {
    const req = httpRequest({
      host: '127.0.0.1', port: server.port, path: `/api/events?token=${server.token}`,
      headers: { Host: `127.0.0.1:${server.port}` },
    }, (res) => {
      let text = '';
      res.on('data', (chunk) => {
        text += chunk;
        const found = [...text.matchAll(new RegExp(`event: ${name}\\ndata: (.*)\\n`, 'g'))]
          .map((match) => JSON.parse(match[1])).find(wanted);
        if (found) {
          req.destroy();
          resolve(found);
        }
      });
    });
    req.on('error', (e) => (e.code === 'ECONNRESET' ? null : reject(e)));
    req.end();
  });
}

async function safetyCases(server) {
  const png = '/api/versions/1/frames/1.png';
  // Another server's cookie beside this one's, as a browser sends with two editors open.
  const cookies = `fmredit_token_${server.port + 1}=${'f'.repeat(32)}; fmredit_token_${server.port}=${server.token}`;
  const cases = [
    ['no token', 'GET', '/api/project', { token: '' }, 403],
    ['wrong token', 'GET', '/api/project', { token: 'f'.repeat(32) }, 403],
    ['foreign Host', 'GET', '/api/project', { headers: { Host: `evil.example:${server.port}` } }, 421],
    ['foreign Origin', 'POST', '/api/edits', { headers: { Origin: 'http://evil.example' }, body: '{}' }, 403],
    ['no Origin on a change', 'POST', '/api/edits', { headers: { Origin: '' }, body: '{}' }, 403],
    ['oversized upload', 'POST', '/api/uploads', { body: Buffer.alloc(1536 * 1024, 70) }, 413],
    ['oversized chunked upload', 'POST', '/api/uploads',
      { body: Buffer.alloc(1536 * 1024, 70), headers: { 'Transfer-Encoding': 'chunked' } }, 413],
    ['not a movie', 'POST', '/api/uploads', { body: 'hello' }, 422],
    ['video that cannot be imported', 'POST', '/api/uploads?name=x.mp4',
      { body: Buffer.concat([Buffer.from('\0\0\0\x18ftypisom'), Buffer.alloc(64)]) }, 422],
    ['name not UTF-8', 'POST', '/api/uploads?name=%FF.swf', { body: readFileSync(small) }, 400],
    ['chunked edit', 'POST', '/api/edits', { body: '{}', headers: { 'Transfer-Encoding': 'chunked' } }, 411],
    ['path outside the page', 'GET', '/../../../../etc/passwd', {}, 404],
    ['escaped path outside', 'GET', '/%2e%2e/%2e%2e/%2e%2e/etc/passwd', {}, 404],
    ['version of no slide', 'GET', '/api/versions/999', {}, 404],
    ['frame of no prepared version', 'GET', png.replace('/1/', '/999/'), {}, 404],
    ['unknown change', 'POST', '/api/edits', { body: '{"action":"format-disk"}' }, 422],
    ['slide number true', 'POST', '/api/edits', { body: '{"action":"split","slide":true,"at":1}' }, 400],
    ['slide number 1.5', 'POST', '/api/edits', { body: '{"action":"split","slide":1.5,"at":1}' }, 400],
    ['time -1e-9', 'POST', '/api/edits', { body: '{"action":"delete","slide":1,"start":-1e-9,"length":1}' }, 400],
    ['slide name not text', 'POST', '/api/edits', { body: '{"action":"rename","slide":1,"name":5}' }, 400],
    ['maxIdle as text', 'POST', '/api/edits', { body: '{"action":"tighten","slide":1,"maxIdle":"2"}' }, 400],
    ['redact outside the stage', 'POST', '/api/edits',
      { body: '{"action":"redact","slide":1,"x":100000,"y":0,"width":8,"height":8,"first":1,"last":2}' }, 400],
    ['redact of no frames', 'POST', '/api/edits',
      { body: '{"action":"redact","slide":1,"x":0,"y":0,"width":8,"height":8,"first":3,"last":2}' }, 400],
    ['factor and length', 'POST', '/api/edits',
      { body: '{"action":"speed","slide":1,"from":0,"to":1,"factor":2,"length":1}' }, 400],
    ['factor 0.5', 'POST', '/api/edits', { body: '{"action":"speed","slide":1,"from":0,"to":1,"factor":0.5}' }, 400],
    ['still maxIdle nan', 'GET', '/api/slides/1/still?maxIdle=nan', {}, 400],
    ['still ignoreSmallerThan 1.5', 'GET', '/api/slides/1/still?maxIdle=1&ignoreSmallerThan=1.5', {}, 400],
    ['still of no slide', 'GET', '/api/slides/9/still?maxIdle=1', {}, 404],
    ['no such history entry', 'POST', '/api/edits', { body: '{"action":"goto","to":99999}' }, 400],
    ['export to no video type', 'POST', '/api/exports', { body: '{"type":"../x"}' }, 400],
    ['export of no slide', 'POST', '/api/exports', { body: '{"type":"mp4","slide":9}' }, 400],
    ['export with a width only', 'POST', '/api/exports', { body: '{"type":"mp4","width":64}' }, 400],
    ['export crf 52', 'POST', '/api/exports', { body: '{"type":"mp4","crf":52}' }, 400],
    ['lossless GIF', 'POST', '/api/exports', { body: '{"type":"gif","lossless":true}' }, 400],
    ['max size of an MP4', 'POST', '/api/exports', { body: '{"type":"mp4","maxSize":5000000}' }, 400],
    ['max size 0', 'POST', '/api/exports', { body: '{"type":"gif","maxSize":0}' }, 400],
    ['max size 1.5', 'POST', '/api/exports', { body: '{"type":"apng","maxSize":1.5}' }, 400],
    ['max size as text', 'POST', '/api/exports', { body: '{"type":"gif","maxSize":"5MB"}' }, 400],
    ['times of no slide', 'POST', '/api/exports', { body: '{"type":"mp4","end":1}' }, 400],
    ['cancel of no export', 'POST', '/api/exports/7/cancel', {}, 404],
    ['video never exported', 'GET', '/api/exports/7/video', {}, 404],
    ['page with the token', 'GET', '/', {}, 303],
    ['page by cookie', 'GET', '/index.html', { token: '', headers: { Cookie: cookies } }, 200],
  ];
  for (const [name, method, url, options, status] of cases) {
    const answer = await send(server, method, url, options);
    check(answer.status === status, `${name}: status ${answer.status}, wanted ${status}`);
    check(!answer.bytes.toString().includes('root:'), `${name}: no file outside is served`);
  }
  const kept = readdirSync(serverFolder).flatMap((work) => readdirSync(path.join(serverFolder, work)));
  check(!kept.some((name) => name.startsWith('upload-')), `refused uploads are not kept: ${kept}`);
}

// More connections than the server takes, sending a request a byte at a time (a header that
// never ends) or nothing: a page's request on a connection of its own is still answered.
async function dawdlingClients(server) {
  const text = `GET / HTTP/1.1\r\nX-Slow: ${'a'.repeat(1000)}`;
  const sockets = Array.from({ length: 100 }, (_, i) => {
    const socket = connect(server.port, '127.0.0.1').on('error', () => {});
    let sent = 0;
    if (i % 2) socket.setTimeout(300).on('timeout', () => socket.write(text[sent++]));
    return socket;
  });
  await new Promise((done) => setTimeout(done, 1000));
  const answer = await new Promise((resolve) => {
    httpRequest({
      host: '127.0.0.1', port: server.port, path: `/api/project?token=${server.token}`,
      headers: { Host: `127.0.0.1:${server.port}` }, agent: false, timeout: 10000,
    }, resolve).on('timeout', () => resolve({ statusCode: 'none within 10 s' })).end();
  });
  sockets.forEach((socket) => socket.destroy());
  check(answer.statusCode === 200, `page request beside 100 dawdling clients: ${answer.statusCode}`);
}

// A video under a name no HTTP header could carry is imported, added, and read by the
// independent parser.
async function videoUpload(server) {
  const video = path.join(folder, 'clip.webm');
  check(run(['export', small, '-o', video]).code === 0, 'export a video');
  const upload = await send(server, 'POST', `/api/uploads?name=${encodeURIComponent('écran 画面 1.webm')}`,
    { body: readFileSync(video) });
  check(upload.status === 200 && upload.json.name === 'écran 画面 1.swf', `video upload: ${upload.bytes}`);
  const { json: before } = await send(server, 'GET', '/api/project');
  const added = await edit(server, { action: 'add', upload: upload.json.upload, state: before.state });
  const slide = added.json.project.slides.at(-1);
  check(added.status === 200 && slide.name.startsWith('écran 画面 1'), `added: ${JSON.stringify(slide)}`);
  check((await send(server, 'GET', `/api/versions/${slide.version}`)).status === 200, 'the slide opens');
  const movie = await send(server, 'GET', `/api/versions/${slide.version}/movie.swf`);
  writeFileSync(path.join(folder, 'imported.swf'), movie.bytes);
  checkWithOracle(path.join(folder, 'imported.swf'));
}

// Two pages change the project from the same state: one wins, the other is told to look
// again, and every page hears of the change.
async function twoPages(server) {
  const { json: before } = await send(server, 'GET', '/api/project');
  const heard = nextEvent(server, 'changed');
  const [a, b] = await Promise.all([
    edit(server, { action: 'minimum', slide: 1, minimum: 3, state: before.state }),
    edit(server, { action: 'minimum', slide: 2, minimum: 4, state: before.state }),
  ]);
  check([a.status, b.status].sort().join() === '200,409', `one page wins: ${a.status} ${b.status}`);
  const loser = a.status === 409 ? a : b;
  check(/another page/.test(loser.json.error), 'the other page is told why');
  const retry = await edit(server, { action: 'minimum', slide: 2, minimum: 4, state: loser.json.project.state });
  check(retry.status === 200, 'the retry on the new state works');
  check((await heard).state > before.state, 'an open page hears of the change');
}

// The engine refuses a movie of another size with the command line's reason; nothing changes.
async function refusedEdit(server) {
  const upload = await send(server, 'POST', '/api/uploads?name=small.swf', {
    body: readFileSync(small),
  });
  check(upload.status === 200, 'upload of a movie');
  const { json: before } = await send(server, 'GET', '/api/project');
  const refused = await edit(server, { action: 'insert', slide: 1, at: 1, upload: upload.json.upload });
  check(refused.status === 422, `refused insert: ${refused.status}`);
  check(/^small\.swf: the movie to insert is 160 x 100 pixels/.test(refused.json.error), refused.json.error);
  check(refused.json.project.state === before.state, 'the project is unchanged');
}

// The whole project as one video, made on a thread of its own while the server answers; its
// video is sent once, its chapters text (one line per slide) on asking.
async function exportWhole(server) {
  const started = await send(server, 'POST', '/api/exports', { body: '{"type":"mp4","name":"all"}' });
  check(started.status === 202 && started.json.frames === 328, `export: ${started.status} ${started.json.frames}`);
  let video = { status: 0 };
  for (let tries = 0; tries < 600 && video.status !== 200; tries += 1) {
    await new Promise((done) => setTimeout(done, 100));
    video = await send(server, 'GET', `/api/exports/${started.json.export}/video`);
  }
  check(video.status === 200 && video.bytes.length > 1000, `export video: ${video.status}`);
  const chapters = await send(server, 'GET', `/api/exports/${started.json.export}/chapters.txt`);
  check(/^0:00 \S.*\n0:10 \S.*\n0:20 écran 画面 1\n$/.test(chapters.bytes.toString()), `chapters: ${chapters.bytes}`);
  const again = await send(server, 'GET', `/api/exports/${started.json.export}/video`);
  check(again.status === 404, 'a video is sent once');
}

// A cancelled export ends with its event and leaves no video.
async function cancelledExport(server) {
  const progress = nextEvent(server, 'export');
  const end = nextEvent(server, 'export', (event) => !('done' in event));
  const body = '{"type":"webm","slide":1,"width":1280,"height":800}';
  const started = await send(server, 'POST', '/api/exports', { body });
  const first = await progress;
  check(first.export === started.json.export && first.total === 152, `progress: ${JSON.stringify(first)}`);
  const cancel = await send(server, 'POST', `/api/exports/${started.json.export}/cancel`);
  check(cancel.status === 200 && (await end).cancelled === true, `cancel: ${cancel.status}`);
  const video = await send(server, 'GET', `/api/exports/${started.json.export}/video`);
  check(video.status === 404, 'no video after a cancel');
}

// Slides renamed, moved and removed, each answered with what happened and undone in one
// step; the history's first entry of these brought back at once, then its last; a merge says
// what became of the slides.
async function assembling(server) {
  const names = (answer) => answer.json.project.slides.map((slide) => slide.name).join('|');
  const { json: start } = await send(server, 'GET', '/api/project');
  const rest = start.slides.slice(2).map((slide) => `|${slide.name}`).join('');
  const steps = [
    [{ action: 'rename', slide: 2, name: 'Démo 2 ✓' }, "renamed slide 2 from 'a_2.swf' to 'Démo 2 ✓'",
      `a.swf|Démo 2 ✓${rest}`],
    [{ action: 'move', slide: 2, to: 1 }, 'moved slide 2 (Démo 2 ✓) to position 1', `Démo 2 ✓|a.swf${rest}`],
    [{ action: 'remove', slide: 1 }, 'removed slide 1 (Démo 2 ✓)', `a.swf${rest}`],
  ];
  let before = `a.swf|a_2.swf${rest}`;
  let last = 0;
  for (const [change, message, after] of steps) {
    const done = await edit(server, change);
    check(done.json.message === message, `${change.action}: ${done.json.message ?? done.json.error}`);
    check(names(done) === after, `${change.action}: ${names(done)}`);
    check(names(await edit(server, { action: 'undo' })) === before, `${change.action} undone`);
    const redone = await edit(server, { action: 'redo' });
    check(names(redone) === after, `${change.action} redone`);
    [before, last] = [after, redone.json.project.state];
  }
  const change = start.history.find((entry) => entry.current).change;
  const back = await edit(server, { action: 'goto', to: start.state });
  check(back.json.message === `undid 3 changes, now at entry ${start.state} (${change})`, back.json.message);
  check(names(back) === `a.swf|a_2.swf${rest}` && back.json.project.canRedo, 'back at the first entry');
  const again = await edit(server, { action: 'goto', to: last });
  check(again.json.message === `redid 3 changes, now at entry ${last} (remove a slide)`, again.json.message);
  await edit(server, { action: 'goto', to: start.state });
  const merged = await edit(server, { action: 'merge', slides: [1, 2] });
  check(/^appended the movie of slide 2 to slide 1, which now lasts [\d.]+ s; slide 2 stays in the project/
    .test(merged.json.message), `merge: ${merged.json.message ?? merged.json.error}`);
  await edit(server, { action: 'undo' });
}

// A movie with a pause of 40 frames: the still stretches as recorded, the length tightening to
// 1 s (15 frames) leaves; tighten says so and leaves that, its movie read by the independent
// parser; undo gives the frames back; a speed-up by 2 of frames 4-23 drops 10.
async function timingEdits() {
  const paused = recordPauses(path.join(folder, 'paused.swf'), '160x100', [[6, 40], [3, 5], [4, 0]]);
  mkdirSync(path.join(folder, 'timing'));
  const server = await serve(makeProject(path.join(folder, 'timing'), [paused.file]));
  const still = async () => (await send(server, 'GET', '/api/slides/1/still?maxIdle=1')).json;
  const frames = (answer) => answer.json.project.slides[0].frames;
  check(JSON.stringify(await still()) === JSON.stringify({ frameCount: 60, frameRate: 15, framesAfter: 35,
    stretches: paused.stretches }), `still stretches: ${JSON.stringify(await still())}`);
  checkWithOracle(paused.file);
  const tightened = await edit(server, { action: 'tighten', slide: 1, maxIdle: 1 });
  check(/^removed 25 still frames/.test(tightened.json.message) && frames(tightened) === 35,
    `tighten: ${tightened.json.message ?? tightened.json.error}`);
  const left = JSON.stringify((await still()).stretches);
  check(left === '[[7,21],[25,29],[34,35]]', `a second a pause: ${left}`);
  const { version } = tightened.json.project.slides[0];
  await send(server, 'GET', `/api/versions/${version}`);
  const tightenedMovie = path.join(folder, 'tightened.swf');
  writeFileSync(tightenedMovie, (await send(server, 'GET', `/api/versions/${version}/movie.swf`)).bytes);
  checkWithOracle(tightenedMovie);
  check(frames(await edit(server, { action: 'undo' })) === 60, 'tighten undone');
  const faster = await edit(server, { action: 'speed', slide: 1, from: 3 / 15, to: 23 / 15, factor: 2 });
  check(/^removed 10 frames/.test(faster.json.message) && frames(faster) === 50, `speed: ${faster.json.message}`);
  const redacted = await edit(server,
    { action: 'redact', slide: 1, x: 2, y: 3, width: 20, height: 10, first: 2, last: 5 });
  check(redacted.json.message === 'filled 20x10+2+3 in frames 2 to 5 of slide 1' && frames(redacted) === 50,
    `redact: ${redacted.json.message ?? redacted.json.error}`);
  const purged = await edit(server, { action: 'purge' });
  check(/^dropped 3 movie versions and \d+ states/.test(purged.json.message) && frames(purged) === 50 &&
    purged.json.project.history.length === 1, `purge: ${purged.json.message ?? purged.json.error}`);
  await server.stop();
}

// A recording with a pointer and keys (slide 1) beside one without (slide 2): what the page
// reads of them; the preview frames the switches ask for; the values refused; the settings
// saved and a key press deleted, in a version the independent parser reads.
async function pointerEdits() {
  const dir = path.join(folder, 'pointer');
  mkdirSync(dir);
  const plain = record(path.join(dir, 'plain.swf'), '160x100', 12);
  const recorded = addPointer(plain, path.join(dir, 'pointer.swf'));
  checkWithOracle(recorded);
  const server = await serve(makeProject(dir, [recorded, plain]));
  const pointer = async (n) => (await send(server, 'GET', `/api/slides/${n}/pointer`)).json;
  const keys = (read) => read.keyPresses.map((p) => `${p.frame}.${p.index} ${p.key}`).join(', ');
  const read = await pointer(1);
  check(read.recorded && read.pointer && keys(read) === '3.1 h, 3.2 i, 6.1 Ctrl+S'
    && read.settings.pointer === 'show' && !read.settings.clicks, `pointer: ${JSON.stringify(read)}`);
  check(!(await pointer(2)).recorded, 'a movie recorded without a pointer');

  const { version } = (await send(server, 'GET', '/api/project')).json.slides[0];
  await send(server, 'GET', `/api/versions/${version}`);
  const frame = async (query) =>
    (await send(server, 'GET', `/api/versions/${version}/frames/3.rgba?${query}`)).bytes;
  const asStored = await frame('');
  const hidden = await frame('pointer=hide');
  const large = await frame('pointer=large&scale=3');
  check(asStored.equals(await frame('pointer=show')), 'the movie\'s settings show the pointer');
  check(!asStored.equals(hidden) && !large.equals(hidden) && !large.equals(asStored),
    'hidden, shown and large pointers are different frames');

  const rgba = `/api/versions/${version}/frames/3.rgba`;
  const cases = [
    ['pointer huge', { action: 'overlay', slide: 1, pointer: 'huge' }],
    ['scale 5', { action: 'overlay', slide: 1, pointer: 'large', scale: 5 }],
    ['scale as text', { action: 'overlay', slide: 1, scale: '2' }],
    ['clicks as text', { action: 'overlay', slide: 1, clicks: 'yes' }],
    ['settings of no track', { action: 'overlay', slide: 2, clicks: true }],
    ['key of no track', { action: 'remove-key', slide: 2, frame: 3, index: 1 }],
    ['key of no frame', { action: 'remove-key', slide: 1, frame: 99, index: 1 }],
    ['key of no index', { action: 'remove-key', slide: 1, frame: 3, index: 3 }],
    ['frame as text', { action: 'remove-key', slide: 1, frame: 'x', index: 1 }],
  ];
  for (const [name, change] of cases) {
    const answer = await edit(server, change);
    check(answer.status === 400 && answer.json.error, `${name}: status ${answer.status}, wanted 400`);
  }
  for (const query of ['pointer=huge', 'scale=9', 'scale=x', 'clicks=maybe', 'keys=1']) {
    const answer = await send(server, 'GET', `${rgba}?${query}`);
    check(answer.status === 400, `preview ${query}: status ${answer.status}, wanted 400`);
  }
  check((await send(server, 'GET', '/api/slides/9/pointer')).status === 404, 'pointer of no slide');

  const saved = await edit(server, { action: 'overlay', slide: 1, pointer: 'large', scale: 2.5, clicks: true });
  check(saved.json.message === 'slide 1: pointer large (2.5x), clicks on, keys off',
    `overlay: ${saved.json.message ?? saved.json.error}`);
  const removed = await edit(server, { action: 'remove-key', slide: 1, frame: 3, index: 1 });
  const now = await pointer(1);
  check(keys(now) === '3.1 i, 6.1 Ctrl+S' && now.settings.pointer === 'large' && now.settings.scale === 2.5,
    `after remove-key: ${JSON.stringify(now)}`);
  const edited = removed.json.project.slides[0].version;
  await send(server, 'GET', `/api/versions/${edited}`);
  const editedMovie = path.join(dir, 'edited.swf');
  writeFileSync(editedMovie, (await send(server, 'GET', `/api/versions/${edited}/movie.swf`)).bytes);
  checkWithOracle(editedMovie);
  await server.stop();
}

// Killed while an edit runs, the project holds the state before or after it.
async function killedMidEdit() {
  const copy = path.join(folder, 'after.fmrproj');
  copyFileSync(project, copy);
  const before = listOf(project);
  check(run(['project', 'delete', copy, '--slide', '1', '--start', '3.4', '--length', '2']).code === 0, 'CLI delete');
  const after = listOf(copy);
  const server = await serve(project);
  const progress = nextEvent(server, 'progress');
  edit(server, { action: 'delete', slide: 1, start: 3.4, length: 2 }).catch(() => {});
  await progress;
  server.child.kill('SIGKILL');
  await new Promise((done) => server.child.once('exit', done));
  const now = listOf(project);
  check(now === before || now === after, `before or after the edit, not between:\n${now}`);
}

const serverFolder = path.join(folder, 'server');
mkdirSync(serverFolder);
const server = await serve(project, ['--max-upload', '1'], { TMPDIR: serverFolder });
await safetyCases(server);
await dawdlingClients(server);
await videoUpload(server);
await twoPages(server);
await refusedEdit(server);
await assembling(server);
const { json: seen } = await send(server, 'GET', '/api/project');
await exportWhole(server);
await cancelledExport(server);
// Others read the project the server holds; only changes are refused.
check(listOf(project).includes('a_2.swf'), 'project list while the server holds the project');
const refused = run(['project', 'remove', project, '--slide', '1']);
check(refused.err.includes('project is in use'), 'the server holds the project for changes');
await server.stop();
check(server.child.exitCode === 0 && /stopped/.test(server.output()), 'Ctrl-C stops cleanly');
const log = run(['project', 'log', project]).out.trim().split('\n');
check(log.length === seen.history.length, 'the page lists the history project log lists');
seen.history.forEach((entry, i) => check(log[i].includes(entry.change), `history entry ${i + 1}`));
await killedMidEdit();
await timingEdits();
await pointerEdits();
checkWithOracle(movie);
console.log('studio server tests passed');
