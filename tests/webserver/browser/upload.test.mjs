// Uploads files through the served page in headless Chromium and checks what the server
// stored. VAULTORA_CLI names the vaultora-cli executable to run as the server.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { mkdtemp, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

const cli = process.env.VAULTORA_CLI;
const browserFlags = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

let workDirectory;
let documents;
let server;
let context;

// The server's standard output, and a way to wait for a line in it.
class ServerProcess {
  constructor(child) {
    this.child = child;
    this.output = '';
    this.waiters = [];
    this.exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
    child.stdout.on('data', (data) => {
      this.output += data.toString();
      this.waiters = this.waiters.filter(({ pattern, resolve }) => {
        const match = this.output.match(pattern);
        if (match) resolve(match);
        return !match;
      });
    });
    child.stderr.on('data', () => {});
  }

  waitFor(pattern) {
    const match = this.output.match(pattern);
    if (match) return Promise.resolve(match);
    return new Promise((resolve, reject) => {
      this.waiters.push({ pattern, resolve });
      this.exited.then(({ code }) => reject(new Error(`server exited (${code}) before ${pattern}:\n${this.output}`)));
    });
  }
}

before(async () => {
  assert.ok(cli, 'VAULTORA_CLI must name the vaultora-cli executable');
  workDirectory = await mkdtemp(path.join(tmpdir(), 'vaultora-browser-'));
  documents = path.join(workDirectory, 'Documents');
  await import('node:fs/promises').then((fs) => fs.mkdir(documents));
  server = new ServerProcess(spawn(cli, ['serve', documents], { stdio: ['ignore', 'pipe', 'pipe'] }));
  const [, port] = await server.waitFor(/on port (\d+)/);
  server.url = `http://127.0.0.1:${port}/`;
  context = await chromium.launchPersistentContext(path.join(workDirectory, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: browserFlags,
  });
});

after(async () => {
  await context?.close();
  if (server && server.child.exitCode === null) server.child.kill('SIGKILL');
  if (workDirectory) await rm(workDirectory, { recursive: true, force: true });
});

async function uploadThroughTheForm(fileName, content) {
  const sourceDirectory = await mkdtemp(path.join(workDirectory, 'source-'));
  const sourcePath = path.join(sourceDirectory, fileName);
  await writeFile(sourcePath, content);
  const page = await context.newPage();
  await page.goto(server.url);
  await page.setInputFiles('#file', sourcePath);
  const [response] = await Promise.all([
    page.waitForResponse((each) => each.request().method() === 'POST'),
    page.click('#button'),
  ]);
  await page.waitForLoadState('load');
  return { page, response };
}

test('the page lists the documents and carries the upload form', async () => {
  await writeFile(path.join(documents, 'Existing.kdb'), 'existing');
  const page = await context.newPage();
  await page.goto(server.url);
  assert.equal(await page.locator('h1').textContent(), 'Files from ');
  assert.equal(await page.locator('a[href="./Existing.kdb"]').textContent(), 'Existing.kdb');
  assert.equal(await page.locator('form#form1 input[type="file"]#file').count(), 1);
  assert.equal(await page.locator('input#button').getAttribute('value'), 'Submit');
  await page.close();
});

test('a database chosen in the form is stored with exactly its bytes', async () => {
  const content = randomBytes(300000);
  const { page, response } = await uploadThroughTheForm('MyDb.kdbx', content);
  assert.equal(response.status(), 200);
  await server.waitFor(/Stored upload: MyDb\.kdbx\n/);
  assert.deepEqual(await readFile(path.join(documents, 'MyDb.kdbx')), content);
  // The answer is the page again, now listing the file, whose link downloads it.
  assert.equal(await page.locator('a[href="./MyDb.kdbx"]').count(), 1);
  const download = await context.request.get(new URL('MyDb.kdbx', server.url).href);
  assert.deepEqual(await download.body(), content);
  assert.deepEqual((await readdir(documents)).sort(), ['Existing.kdb', 'MyDb.kdbx']);
  await page.close();
});

test('a file whose content ends in CR LF keeps those bytes', async () => {
  const content = Buffer.from('first line\r\nsecond line\r\n\r\n');
  const { page } = await uploadThroughTheForm('Lines.kdbx', content);
  await server.waitFor(/Stored upload: Lines\.kdbx\n/);
  assert.deepEqual(await readFile(path.join(documents, 'Lines.kdbx')), content);
  await page.close();
});

test('the server stops cleanly on SIGTERM', async () => {
  server.child.kill('SIGTERM');
  const { code } = await server.exited;
  assert.equal(code, 0);
  assert.match(server.output, /Stopped\n$/);
});
