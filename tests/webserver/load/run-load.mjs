// Load figures for the upload server, run by hand (not a test): many concurrent downloads of
// a 1 MB file, and one large upload streamed from memory-light chunks while the server's peak
// memory is read from /proc. Usage:
//   node run-load.mjs /path/to/vaultora-cli [connections=32] [uploadMegabytes=1024]
import { spawn } from 'node:child_process';
import { createHash, randomBytes } from 'node:crypto';
import { mkdtemp, readFile, rm, stat, writeFile } from 'node:fs/promises';
import { createReadStream } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';

const [cli, connectionsText = '32', uploadText = '1024'] = process.argv.slice(2);
if (!cli) {
  console.error('usage: node run-load.mjs VAULTORA_CLI [CONNECTIONS] [UPLOAD_MEGABYTES]');
  process.exit(2);
}
const connections = Number(connectionsText);
const uploadBytes = Number(uploadText) * 1024 * 1024;

function peakMemoryKilobytes(pid) {
  return readFile(`/proc/${pid}/status`, 'utf8').then((text) => Number(text.match(/VmHWM:\s+(\d+)/)[1]));
}

async function startServer(directory) {
  const child = spawn(cli, ['serve', directory], { stdio: ['ignore', 'pipe', 'ignore'] });
  let output = '';
  const port = await new Promise((resolve, reject) => {
    child.stdout.on('data', (data) => {
      output += data;
      const match = output.match(/on port (\d+)/);
      if (match) resolve(Number(match[1]));
    });
    child.on('exit', () => reject(new Error(`server exited: ${output}`)));
  });
  return { child, port, stored: (name) => new RegExp(`Stored upload: ${name}\\n`).test(output) };
}

function download(port, name) {
  return new Promise((resolve, reject) => {
    http.get({ host: '127.0.0.1', port, path: `/${name}`, agent: false }, (response) => {
      const hash = createHash('sha256');
      let length = 0;
      response.on('data', (chunk) => { hash.update(chunk); length += chunk.length; });
      response.on('end', () => resolve({ status: response.statusCode, length, digest: hash.digest('hex') }));
    }).on('error', reject);
  });
}

function upload(port, name, filePath, size) {
  const boundary = '----LoadBoundary';
  const head = Buffer.from(`--${boundary}\r\nContent-Disposition: form-data; name="file"; filename="${name}"\r\n` +
    'Content-Type: application/octet-stream\r\n\r\n');
  const tail = Buffer.from(`\r\n--${boundary}\r\nContent-Disposition: form-data; name="button"\r\n\r\nSubmit\r\n--${boundary}--\r\n`);
  return new Promise((resolve, reject) => {
    const request = http.request({
      host: '127.0.0.1', port, method: 'POST', path: '/', agent: false,
      headers: { 'Content-Type': `multipart/form-data; boundary=${boundary}`, 'Content-Length': head.length + size + tail.length },
    }, (response) => { response.resume(); response.on('end', () => resolve(response.statusCode)); });
    request.on('error', reject);
    request.write(head);
    const stream = createReadStream(filePath, { highWaterMark: 1 << 20 });
    stream.on('data', (chunk) => { if (!request.write(chunk)) { stream.pause(); request.once('drain', () => stream.resume()); } });
    stream.on('end', () => request.end(tail));
    stream.on('error', reject);
  });
}

const work = await mkdtemp(path.join(tmpdir(), 'vaultora-load-'));
const documents = path.join(work, 'Documents');
await import('node:fs/promises').then((fs) => fs.mkdir(documents));
const oneMegabyte = randomBytes(1024 * 1024);
await writeFile(path.join(documents, 'one.bin'), oneMegabyte);
const expectedDigest = createHash('sha256').update(oneMegabyte).digest('hex');
const server = await startServer(documents);
try {
  let started = performance.now();
  const results = await Promise.all(Array.from({ length: connections }, () => download(server.port, 'one.bin')));
  let seconds = (performance.now() - started) / 1000;
  const complete = results.filter((each) => each.status === 200 && each.length === oneMegabyte.length && each.digest === expectedDigest).length;
  console.log(`downloads: ${complete}/${connections} complete and correct in ${seconds.toFixed(2)} s ` +
    `(${((connections * oneMegabyte.length) / (1024 * 1024) / seconds).toFixed(1)} MB/s)`);
  console.log(`server peak memory after downloads: ${((await peakMemoryKilobytes(server.child.pid)) / 1024).toFixed(1)} MB`);

  // The upload source is written in 1 MB pieces so that this script stays small too.
  const source = path.join(work, 'large.bin');
  const piece = randomBytes(1024 * 1024);
  const { open } = await import('node:fs/promises');
  const handle = await open(source, 'w');
  for (let written = 0; written < uploadBytes; written += piece.length) await handle.write(piece, 0, Math.min(piece.length, uploadBytes - written));
  await handle.close();
  started = performance.now();
  const status = await upload(server.port, 'Large.kdbx', source, uploadBytes);
  seconds = (performance.now() - started) / 1000;
  const stored = await stat(path.join(documents, 'Large.kdbx'));
  console.log(`upload: status ${status}, stored ${stored.size} of ${uploadBytes} bytes, ` +
    `${(uploadBytes / (1024 * 1024) / seconds).toFixed(1)} MB/s, announced: ${server.stored('Large\\.kdbx')}`);
  console.log(`server peak memory after upload: ${((await peakMemoryKilobytes(server.child.pid)) / 1024).toFixed(1)} MB`);
} finally {
  server.child.kill('SIGTERM');
  await rm(work, { recursive: true, force: true });
}
