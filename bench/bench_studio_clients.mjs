// fmredit serve under clients that misbehave: how long a page's request (GET /api/project)
// takes while 20 clients send their requests a byte every 0.5 s, while 64 and 200 sockets sit
// idle, and how much memory a 256 MiB chunked upload against a 1 MiB limit costs the server.
// Prints medians; given a second fmredit (an older build, say), measures both, one after the
// other.
//
// Usage (a release build): node bench/bench_studio_clients.mjs BUILD_DIR [OTHER_FMREDIT]
import { spawnSync } from 'node:child_process';
import { connect } from 'node:net';
import { readFileSync } from 'node:fs';
import { request as httpRequest } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const build = path.resolve(process.argv[2] ?? 'build/release');
const here = path.dirname(fileURLToPath(import.meta.url));
if (!process.env.CLIENTS_BENCH_ONE) {
  for (const fmredit of [process.argv[3], path.join(build, 'cli/fmredit')].filter(Boolean)) {
    spawnSync(process.execPath, process.argv.slice(1), {
      stdio: 'inherit', env: { ...process.env, FMREDIT: fmredit, CLIENTS_BENCH_ONE: '1' },
    });
  }
  process.exit(0);
}
process.env.MAKE_DEMO_FRAMES ??= path.join(build, 'samples/make_demo_frames');
const support = await import(path.join(here, '../tests/studio/support.mjs'));
const { makeProject, record, serve, tempFolder } = support;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const kGiveUp = 30000;

// Milliseconds until the page's request, on a connection of its own, is answered; kGiveUp
// when it is not within that.
async function pageRequest(server) {
  const start = performance.now();
  const answered = await new Promise((resolve) => {
    const req = httpRequest({
      host: '127.0.0.1', port: server.port, path: `/api/project?token=${server.token}`,
      headers: { Host: `127.0.0.1:${server.port}` }, agent: false, timeout: kGiveUp,
    }, (res) => { res.resume(); res.on('end', () => resolve(res.statusCode === 200)); });
    req.on('timeout', () => { req.destroy(); resolve(false); });
    req.on('error', () => resolve(false));
    req.end();
  });
  return answered ? performance.now() - start : kGiveUp;
}

// Sockets that stay open: each sends its request a byte at a time every interval (never
// finishing it), or nothing when interval is 0; a closed one is opened again.
function misbehave(server, count, interval) {
  const request = `POST /api/edits HTTP/1.1\r\nHost: 127.0.0.1:${server.port}\r\n`.repeat(50);
  const sockets = new Set();
  let stopped = false;
  const open = () => {
    if (stopped) return;
    const socket = connect(server.port, '127.0.0.1');
    let sent = 0;
    const timer = interval ? setInterval(() => socket.write(request[sent++ % request.length]), interval) : null;
    sockets.add(socket);
    socket.on('error', () => {});
    socket.on('close', () => { clearInterval(timer); sockets.delete(socket); setTimeout(open, 50); });
  };
  for (let i = 0; i < count; i += 1) open();
  return () => { stopped = true; for (const socket of sockets) socket.destroy(); };
}

// Peak resident memory of the server (MB) after a 256 MiB chunked upload, and how it ended.
async function chunkedUpload(server) {
  const chunk = Buffer.alloc(1 << 20, 70);
  const ended = await new Promise((resolve) => {
    const req = httpRequest({
      host: '127.0.0.1', port: server.port, method: 'POST',
      path: `/api/uploads?name=big.swf&token=${server.token}`,
      headers: { Host: `127.0.0.1:${server.port}`, Origin: server.origin, 'Transfer-Encoding': 'chunked' },
    }, (res) => { res.resume(); resolve(`status ${res.statusCode}`); });
    req.on('error', (e) => resolve(e.code));
    let sent = 0;
    const more = () => {
      while (sent < 256) {
        sent += 1;
        if (!req.write(chunk)) { req.once('drain', more); return; }
      }
      req.end();
    };
    more();
  });
  const status = readFileSync(`/proc/${server.child.pid}/status`, 'utf8');
  return { ended, peakMB: Number(status.match(/VmHWM:\s+(\d+)/)[1]) / 1024 };
}

async function measure(fmredit) {
  const folder = tempFolder();
  const project = makeProject(folder, [record(path.join(folder, 'a.swf'), '320x200', 30)]);
  const server = await serve(project, ['--max-upload', '1']);
  const rows = [];
  const scenario = async (name, count, interval) => {
    const stop = count ? misbehave(server, count, interval) : () => {};
    await sleep(1000);
    const times = [];
    for (let i = 0; i < 5; i += 1) times.push(await pageRequest(server));
    stop();
    rows.push([name, median(times), Math.max(...times)]);
    await sleep(500);
  };
  await scenario('quiet', 0, 0);
  await scenario('20 clients, a byte every 0.5 s', 20, 500);
  await scenario('64 idle sockets', 64, 0);
  await scenario('200 idle sockets', 200, 0);
  const upload = await chunkedUpload(server);
  server.child.kill('SIGKILL');
  console.log(`== ${fmredit}`);
  for (const [name, mid, worst] of rows) {
    console.log(`${name.padEnd(34)} page request median ${mid.toFixed(1)} ms, worst ${worst.toFixed(1)} ms`);
  }
  console.log(`256 MiB chunked upload, 1 MiB limit: ${upload.ended}, server peak ${upload.peakMB.toFixed(0)} MB`);
}

await measure(process.env.FMREDIT);
process.exit(0);
