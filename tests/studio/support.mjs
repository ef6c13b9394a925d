// Shared by the web editor's tests and benchmark: recordings made by our recorder, a project
// of them, and fmredit serve started on it (127.0.0.1, a free port) with its address parsed.
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { request as httpRequest } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';

export const fmredit = process.env.FMREDIT;
const makeDemoFrames = process.env.MAKE_DEMO_FRAMES;
const oracle = process.env.ZU_ORACLE;
const addTestPointer = process.env.ADD_TEST_POINTER;

export function check(condition, what) {
  if (!condition) throw new Error(`FAILED: ${what}`);
}

export function tempFolder() {
  const folder = mkdtempSync(path.join(tmpdir(), 'studio-test-'));
  process.on('exit', () => rmSync(folder, { recursive: true, force: true }));
  return folder;
}

export function run(args) {
  const result = spawnSync(fmredit, args, { encoding: 'utf8' });
  return { code: result.status, out: result.stdout, err: result.stderr };
}

// An FMR movie of the demo screen, recorded by fmredit record at 15 fps.
export function record(file, size, frames) {
  const frameSource = spawnSync(makeDemoFrames, ['--size', size, '--frames', String(frames)],
    { maxBuffer: 1 << 30 });
  check(frameSource.status === 0, `make_demo_frames ${size}`);
  const recorded = spawnSync(fmredit, ['record', '--raw', size, '--fps', '15', '-o', file],
    { input: frameSource.stdout, maxBuffer: 1 << 20 });
  check(recorded.status === 0, `fmredit record ${file}: ${recorded.stderr}`);
  return file;
}

// An FMR movie of a bar that moves a step a frame and pauses, recorded at 15 fps: for each
// [moves, pause] of steps, moves frames that move it and pause frames that repeat the last.
// Returns the file and its still stretches, [first, last] from frame 1, as recorded: the
// pauses, and the hold and stop frames recording ends with.
export function recordPauses(file, size, steps) {
  const [width, height] = size.split('x').map(Number);
  const frames = [];
  const stretches = [];
  for (const [moves, pause] of steps) {
    for (let i = 0; i < moves; ++i) {
      const x = (frames.length * 4) % (width - 4);
      const frame = Buffer.alloc(width * height * 4, 0x40);
      for (let y = 0; y < height; ++y) frame.fill(0xff, (y * width + x) * 4, (y * width + x + 4) * 4);
      frames.push(frame);
    }
    if (pause) stretches.push([frames.length + 1, frames.length + pause]);
    for (let i = 0; i < pause; ++i) frames.push(frames.at(-1));
  }
  stretches.push([frames.length + 1, frames.length + 2]);
  const recorded = spawnSync(fmredit, ['record', '--raw', size, '--fps', '15', '-o', file],
    { input: Buffer.concat(frames), maxBuffer: 1 << 20 });
  check(recorded.status === 0, `fmredit record ${file}: ${recorded.stderr}`);
  return { file, stretches };
}

// The movie again with a recorded pointer and keys: a cursor that walks and clicks, "h" and
// "i" typed in frame 3 and "Ctrl+S" in frame 6.
export function addPointer(file, output) {
  const added = spawnSync(addTestPointer, [file, output], { encoding: 'utf8' });
  check(added.status === 0, `add_test_pointer ${file}: ${added.stderr}`);
  return output;
}

// The independent SWF parser reads the file.
export function checkWithOracle(file) {
  const result = spawnSync('node', [oracle, file], { encoding: 'utf8' });
  check(result.status === 0, `the independent parser reads ${file}: ${result.stdout}`);
}

export function makeProject(folder, movies) {
  const project = path.join(folder, 'test.fmrproj');
  check(run(['project', 'new', project]).code === 0, 'project new');
  for (const movie of movies) check(run(['project', 'add', project, movie]).code === 0, 'project add');
  return project;
}

// Starts fmredit serve; resolves when it prints its address.
export function serve(target, extra = [], environment = {}) {
  const child = spawn(fmredit, ['serve', target, '--port', '0', ...extra],
    { stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, ...environment } });
  process.on('exit', () => child.kill('SIGKILL'));  // a failed test leaves no server behind
  let out = '';
  let err = '';
  child.stderr.on('data', (d) => { err += d; });
  return new Promise((resolve, reject) => {
    child.stdout.on('data', (d) => {
      out += d;
      const found = out.match(/open (http:\/\/127\.0\.0\.1:(\d+)\/\?token=([0-9a-f]+))/);
      if (found) {
        resolve({
          child, address: found[1], port: Number(found[2]), token: found[3],
          origin: `http://127.0.0.1:${found[2]}`, output: () => out + err,
          stop: () => new Promise((done) => { child.once('exit', done); child.kill('SIGINT'); }),
        });
      }
    });
    child.once('exit', (code) => reject(new Error(`fmredit serve exited (${code}): ${out}${err}`)));
  });
}

// One HTTP request with the headers given as they are (Host and Origin included).
export function send(server, method, url, { headers = {}, body, token = server.token } = {}) {
  const withToken = token ? `${url}${url.includes('?') ? '&' : '?'}token=${token}` : url;
  const length = body !== undefined && !headers['Transfer-Encoding']
    ? { 'Content-Length': Buffer.byteLength(body) } : {};
  return new Promise((resolve, reject) => {
    const req = httpRequest({
      host: '127.0.0.1', port: server.port, method, path: withToken,
      headers: { Host: `127.0.0.1:${server.port}`, Origin: server.origin, ...length, ...headers },
    }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => {
        const bytes = Buffer.concat(chunks);
        let json = null;
        try { json = JSON.parse(bytes.toString()); } catch { /* not JSON */ }
        resolve({ status: res.statusCode, headers: res.headers, bytes, json });
      });
    });
    req.on('error', reject);
    if (body !== undefined) req.write(body);
    req.end();
  });
}

export function edit(server, change) {
  return send(server, 'POST', '/api/edits', {
    headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(change),
  });
}
