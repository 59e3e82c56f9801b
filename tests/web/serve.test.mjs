// The static server's own checks: node --test tests/web/serve.test.mjs

import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';

import {
  acceptsGzip,
  createStaticServer,
  listen,
  parseArguments,
  UsageError,
} from '../../app/browser/serve.mjs';

// The server lives beside the page it serves.
const SERVE = fileURLToPath(new URL('../../app/browser/serve.mjs', import.meta.url));

// A raw request: the path goes out exactly as written, ".." and bad escapes included.
function request(port, urlPath, { method = 'GET', headers = {} } = {}) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port, path: urlPath, method, headers }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
    });
    req.on('error', reject);
    req.end();
  });
}

function makeTree() {
  const top = fs.mkdtempSync(path.join(os.tmpdir(), 'skarvelin-serve-'));
  const root = path.join(top, 'root');
  fs.mkdirSync(path.join(root, 'sub'), { recursive: true });
  const files = {
    'skarvelin.html': '<!doctype html><title>t</title>'.repeat(50),
    'skarvelin.js': 'console.log(1);\n'.repeat(200),
    'skarvelin.wasm': Buffer.from([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0, ...new Array(500).fill(7)]),
    'skarvelin.data': Buffer.alloc(4096, 0x41),
    'shot.png': Buffer.from('89504e470d0a1a0a0000', 'hex'),
    'skarvelin.webmanifest': '{"name": "Skarvelin"}',
    'sub/inner.js': 'export {};\n',
    'odd name ü.txt': 'text',
  };
  for (const [name, body] of Object.entries(files)) fs.writeFileSync(path.join(root, name), body);
  fs.writeFileSync(path.join(top, 'secret.txt'), 'outside the root');
  fs.symlinkSync(path.join(top, 'secret.txt'), path.join(root, 'link-out.txt'));
  fs.symlinkSync(path.join(root, 'skarvelin.js'), path.join(root, 'link-in.js'));
  return { top, root, files };
}

describe('the static server', () => {
  let tree, server, port;
  before(async () => {
    tree = makeTree();
    ({ server } = createStaticServer(tree.root));
    port = await listen(server, 0, '127.0.0.1');
  });
  after(() => {
    server.close();
    fs.rmSync(tree.top, { recursive: true, force: true });
  });

  it('serves each kind of file with its type, uncompressed when gzip is not accepted', async () => {
    const types = {
      'skarvelin.html': 'text/html; charset=utf-8',
      'skarvelin.js': 'text/javascript; charset=utf-8',
      'skarvelin.wasm': 'application/wasm',
      'skarvelin.data': 'application/octet-stream',
      'shot.png': 'image/png',
      'skarvelin.webmanifest': 'application/manifest+json',
    };
    for (const [name, type] of Object.entries(types)) {
      const res = await request(port, `/${name}`);
      assert.equal(res.status, 200, name);
      assert.equal(res.headers['content-type'], type, name);
      assert.equal(res.headers['cache-control'], 'no-cache', name);
      assert.equal(res.headers['content-encoding'], undefined, name);
      assert.deepEqual(res.body, Buffer.from(tree.files[name]), name);
    }
  });

  it('compresses for clients that accept gzip, except formats compressed already', async () => {
    for (const name of ['skarvelin.html', 'skarvelin.js', 'skarvelin.wasm', 'skarvelin.data']) {
      const res = await request(port, `/${name}`, { headers: { 'Accept-Encoding': 'br, gzip;q=0.8' } });
      assert.equal(res.headers['content-encoding'], 'gzip', name);
      assert.equal(Number(res.headers['content-length']), res.body.length, name);
      assert.ok(res.body.length < Buffer.byteLength(tree.files[name]), `${name} is smaller`);
      assert.deepEqual(zlib.gunzipSync(res.body), Buffer.from(tree.files[name]), name);
    }
    const png = await request(port, '/shot.png', { headers: { 'Accept-Encoding': 'gzip' } });
    assert.equal(png.headers['content-encoding'], undefined);
    const refused = await request(port, '/skarvelin.js', { headers: { 'Accept-Encoding': 'gzip;q=0' } });
    assert.equal(refused.headers['content-encoding'], undefined);
  });

  it('compresses a file once, and again only when the file changes', async () => {
    const file = path.join(tree.root, 'sub', 'inner.js');
    const get = async () =>
      zlib.gunzipSync((await request(port, '/sub/inner.js', { headers: { 'Accept-Encoding': 'gzip' } })).body).toString();
    // Whole seconds: a time set again later must read back exactly the same.
    const mtime = new Date(Math.floor(Date.now() / 1000) * 1000 - 60000);
    fs.utimesSync(file, mtime, mtime);
    assert.equal(await get(), 'export {};\n');
    // Same size and time: the cached body is served, not the file read anew.
    fs.writeFileSync(file, 'export [];\n');
    fs.utimesSync(file, mtime, mtime);
    assert.equal(await get(), 'export {};\n');
    const later = new Date(mtime.getTime() + 5000);
    fs.utimesSync(file, later, later);
    assert.equal(await get(), 'export [];\n');
  });

  it('compresses the files at the root in advance', async () => {
    const { server: warmed, warm } = createStaticServer(tree.root);
    const file = path.join(tree.root, 'skarvelin.js');
    const mtime = new Date(Math.floor(Date.now() / 1000) * 1000 - 60000);
    fs.utimesSync(file, mtime, mtime);
    await warm();
    // Changed behind the server's back, same size and time: the body made in advance shows.
    fs.writeFileSync(file, tree.files['skarvelin.js'].replace('1', '2'));
    fs.utimesSync(file, mtime, mtime);
    const warmedPort = await listen(warmed, 0, '127.0.0.1');
    try {
      const res = await request(warmedPort, '/skarvelin.js', { headers: { 'Accept-Encoding': 'gzip' } });
      assert.equal(zlib.gunzipSync(res.body).toString(), tree.files['skarvelin.js']);
    } finally {
      warmed.close();
      fs.writeFileSync(file, tree.files['skarvelin.js']);
    }
  });

  it('answers 404 for anything outside the root or not a plain file, and keeps serving', async () => {
    const bad = [
      '/../secret.txt',
      '/sub/../../secret.txt',
      '/%2e%2e/secret.txt',
      '/sub/%2E%2E%2F%2E%2E%2Fsecret.txt',
      '/..%5Csecret.txt',
      '/%E0%A4%A',
      '/skarvelin.html%00.png',
      '/link-out.txt',
      '/sub',
      '/sub/',
      '/missing.js',
      '//etc/passwd',
    ];
    for (const urlPath of bad) {
      const res = await request(port, urlPath);
      assert.equal(res.status, 404, urlPath);
      assert.doesNotMatch(res.body.toString(), /outside the root|inner\.js/, urlPath);
    }
    // Not a path at all: Node's parser refuses it before the server sees it.
    assert.equal((await request(port, 'skarvelin.html')).status, 400);
    assert.equal((await request(port, '/odd%20name%20%C3%BC.txt')).body.toString(), 'text');
    assert.equal((await request(port, '/./sub/inner.js?v=1#x')).status, 200);
    assert.equal((await request(port, '/link-in.js')).status, 200);
  });

  it('answers HEAD without a body, revalidations with 304, other methods with 405', async () => {
    const head = await request(port, '/skarvelin.wasm', { method: 'HEAD' });
    assert.equal(head.status, 200);
    assert.equal(Number(head.headers['content-length']), tree.files['skarvelin.wasm'].length);
    assert.equal(head.body.length, 0);
    const again = await request(port, '/skarvelin.wasm', { headers: { 'If-None-Match': head.headers.etag } });
    assert.equal(again.status, 304);
    assert.equal(again.body.length, 0);
    const post = await request(port, '/skarvelin.html', { method: 'POST' });
    assert.equal(post.status, 405);
    const home = await request(port, '/');
    assert.equal(home.status, 302);
    assert.equal(home.headers.location, '/skarvelin.html');
  });

  it('tells which encodings accept gzip', () => {
    assert.ok(acceptsGzip('gzip'));
    assert.ok(acceptsGzip('deflate, GZIP'));
    assert.ok(acceptsGzip('*'));
    assert.ok(acceptsGzip('gzip;q=0.5'));
    assert.ok(!acceptsGzip(undefined));
    assert.ok(!acceptsGzip('br, deflate'));
    assert.ok(!acceptsGzip('gzip;q=0'));
    assert.ok(!acceptsGzip('x-gzip2'));
  });
});

describe('the server command', () => {
  let tree;
  before(() => {
    tree = makeTree();
  });
  after(() => fs.rmSync(tree.top, { recursive: true, force: true }));

  function start(args) {
    const child = spawn(process.execPath, [SERVE, ...args], { stdio: ['ignore', 'pipe', 'pipe'] });
    const output = { out: '', err: '' };
    child.stdout.on('data', (d) => (output.out += d));
    child.stderr.on('data', (d) => (output.err += d));
    const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
    return { child, output, exited };
  }

  async function firstLine(run) {
    const deadline = Date.now() + 5000;
    while (!run.output.out.includes('\n')) {
      if (Date.now() > deadline || run.child.exitCode !== null) {
        throw new Error(`no line from the server: ${run.output.err}`);
      }
      await new Promise((r) => setTimeout(r, 20));
    }
    return run.output.out.split('\n')[0];
  }

  it('says where it serves a free port, serves there and ends on SIGTERM', async () => {
    const run = start([tree.root, '--port', '0']);
    try {
      const line = await firstLine(run);
      const match = line.match(/^Serving (.+) at http:\/\/127\.0\.0\.1:(\d+)\/skarvelin\.html$/);
      assert.ok(match, line);
      assert.equal(match[1], fs.realpathSync(tree.root));
      const res = await request(Number(match[2]), '/skarvelin.html');
      assert.equal(res.status, 200);
    } finally {
      run.child.kill('SIGTERM');
    }
    assert.equal(await run.exited, 0);
  });

  it('says clearly when the port is taken', async () => {
    const { server } = createStaticServer(tree.root);
    const port = await listen(server, 0, '127.0.0.1');
    try {
      const run = start([tree.root, '--port', String(port)]);
      assert.equal(await run.exited, 1);
      assert.match(run.output.err, new RegExp(`cannot listen on 127\\.0\\.0\\.1:${port}`));
    } finally {
      server.close();
    }
  });

  it('rejects bad arguments with the usage', async () => {
    const cases = [
      [[], /no ROOT given/],
      [[tree.root, '--port', 'eighty'], /not a port number/],
      [[tree.root, '--port', '70000'], /not a port number/],
      [[tree.root, '--port'], /--port needs a value/],
      [[path.join(tree.root, 'nowhere')], /no such folder/],
      [[path.join(tree.root, 'skarvelin.js')], /not a folder/],
      [[tree.root, '--verbose'], /unknown option --verbose/],
      [[tree.root, tree.top], /one ROOT only/],
    ];
    for (const [args, message] of cases) {
      assert.throws(() => parseArguments(args), (e) => e instanceof UsageError && message.test(e.message), args.join(' '));
    }
    const run = start(['--port', '0']);
    assert.equal(await run.exited, 2);
    assert.match(run.output.err, /serve: no ROOT given\nusage: /);
  });

  it('takes the host to listen on', () => {
    assert.deepEqual(parseArguments([tree.root, '--host', '::1', '--port', '8080']), {
      root: tree.root,
      port: 8080,
      host: '::1',
    });
  });
});
