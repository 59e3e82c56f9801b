#!/usr/bin/env node
// A static server for the browser build, on Node's own http module:
//
//   node app/browser/serve.mjs ROOT [--port N] [--host 127.0.0.1]
//
// serves ROOT's files and nothing else (no listing, nothing outside ROOT, symbolic links
// included), gzip-compressed for clients that accept it, and runs until killed. Port 0 takes
// any free port; the line it prints says which.

import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import zlib from 'node:zlib';

const MIME_TYPES = new Map([
  ['.html', 'text/html; charset=utf-8'],
  ['.js', 'text/javascript; charset=utf-8'],
  ['.mjs', 'text/javascript; charset=utf-8'],
  ['.css', 'text/css; charset=utf-8'],
  ['.json', 'application/json'],
  ['.webmanifest', 'application/manifest+json'],
  ['.map', 'application/json'],
  ['.txt', 'text/plain; charset=utf-8'],
  ['.svg', 'image/svg+xml'],
  ['.wasm', 'application/wasm'],
  ['.data', 'application/octet-stream'],
  ['.png', 'image/png'],
  ['.gif', 'image/gif'],
  ['.ico', 'image/x-icon'],
  ['.wav', 'audio/wav'],
  ['.ogg', 'audio/ogg'],
]);

// Formats that are compressed already: gzip would only cost time.
const INCOMPRESSIBLE = new Set(['.png', '.gif', '.ogg']);

export const DEFAULT_PAGE = 'skarvelin.html';

export class UsageError extends Error {}

export function mimeType(file) {
  return MIME_TYPES.get(path.extname(file).toLowerCase()) ?? 'application/octet-stream';
}

// Whether an Accept-Encoding header allows gzip: named (or "*") without "q=0".
export function acceptsGzip(header) {
  if (!header) return false;
  return header.split(',').some((part) => {
    const [coding, ...params] = part.trim().toLowerCase().split(';').map((s) => s.trim());
    if (coding !== 'gzip' && coding !== '*') return false;
    const q = params.find((p) => p.startsWith('q='));
    return !q || Number(q.slice(2)) > 0;
  });
}

// The file a request's path names under the root, or null when it names nothing that may be
// served: not a plain path, undecodable, a NUL byte, a ".." segment, a backslash (a
// separator elsewhere).
export function resolveRequestPath(root, rawUrl) {
  const end = rawUrl.search(/[?#]/);
  const pathname = end < 0 ? rawUrl : rawUrl.slice(0, end);
  if (!pathname.startsWith('/')) return null;
  const segments = [];
  for (const raw of pathname.split('/')) {
    let segment;
    try {
      segment = decodeURIComponent(raw);
    } catch {
      return null;
    }
    if (segment === '' || segment === '.') continue;
    if (segment === '..' || /[\\/\0]/.test(segment)) return null;
    segments.push(segment);
  }
  const file = path.join(root, ...segments);
  return file === root || file.startsWith(root + path.sep) ? file : null;
}

// Compressed bodies, made once per version of a file; concurrent requests share the work.
class GzipCache {
  #entries = new Map();

  get(file, stat) {
    const version = `${stat.size}:${stat.mtimeMs}`;
    const hit = this.#entries.get(file);
    if (hit && hit.version === version) return hit.body;
    const body = fs.promises
      .readFile(file)
      .then((bytes) => new Promise((resolve, reject) => {
        zlib.gzip(bytes, (error, zipped) => (error ? reject(error) : resolve(zipped)));
      }));
    this.#entries.set(file, { version, body });
    body.catch(() => this.#entries.delete(file));
    return body;
  }
}

function send(res, status, text, headers = {}) {
  res.writeHead(status, {
    'Content-Type': 'text/plain; charset=utf-8',
    'Cache-Control': 'no-cache',
    'Content-Length': Buffer.byteLength(text),
    ...headers,
  });
  res.end(res.req.method === 'HEAD' ? undefined : text);
}

// The real path of a regular file inside the root, or null.
async function servableFile(root, file) {
  try {
    const real = await fs.promises.realpath(file);
    if (!real.startsWith(root + path.sep)) return null;
    const stat = await fs.promises.stat(real);
    return stat.isFile() ? { real, stat } : null;
  } catch {
    return null;
  }
}

async function serveFile(res, found, gzip) {
  const { real, stat } = found;
  const headers = {
    'Content-Type': mimeType(real),
    'Cache-Control': 'no-cache',
    'Last-Modified': stat.mtime.toUTCString(),
    ETag: `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}"`,
    Vary: 'Accept-Encoding',
  };
  if (res.req.headers['if-none-match'] === headers.ETag) {
    res.writeHead(304, headers);
    res.end();
    return;
  }
  const compress = gzip.enabled && compressible(real) && acceptsGzip(res.req.headers['accept-encoding']);
  if (compress) {
    const body = await gzip.cache.get(real, stat);
    res.writeHead(200, { ...headers, 'Content-Encoding': 'gzip', 'Content-Length': body.length });
    res.end(res.req.method === 'HEAD' ? undefined : body);
    return;
  }
  res.writeHead(200, { ...headers, 'Content-Length': stat.size });
  if (res.req.method === 'HEAD') {
    res.end();
    return;
  }
  const stream = fs.createReadStream(real);
  stream.on('error', () => res.destroy());
  stream.pipe(res);
}

async function handle(root, gzip, req, res) {
  if (req.method !== 'GET' && req.method !== 'HEAD') {
    send(res, 405, 'Only GET and HEAD are served.\n', { Allow: 'GET, HEAD' });
    return;
  }
  if (req.url === '/' || req.url.startsWith('/?')) {
    send(res, 302, `See /${DEFAULT_PAGE}\n`, { Location: `/${DEFAULT_PAGE}` });
    return;
  }
  const file = resolveRequestPath(root, req.url);
  const found = file && (await servableFile(root, file));
  if (!found) {
    send(res, 404, 'Not found.\n');
    return;
  }
  await serveFile(res, found, gzip);
}

function compressible(file) {
  return !INCOMPRESSIBLE.has(path.extname(file).toLowerCase());
}

// A server for ROOT, not yet listening, and `warm()`, which compresses the files at ROOT's
// top in advance, so that no first request waits for it. gzip: false serves every file as
// it is.
export function createStaticServer(rootDir, { gzip = true } = {}) {
  const root = fs.realpathSync(rootDir);
  const state = { enabled: gzip, cache: new GzipCache() };
  const warm = async () => {
    if (!gzip) return;
    for (const entry of await fs.promises.readdir(root, { withFileTypes: true })) {
      const file = path.join(root, entry.name);
      if (!entry.isFile() || !compressible(file)) continue;
      await state.cache.get(file, await fs.promises.stat(file)).catch(() => {});
    }
  };
  const server = http.createServer((req, res) => {
    handle(root, state, req, res).catch((error) => {
      if (res.headersSent) {
        res.destroy();
      } else {
        send(res, 500, `Cannot read the file: ${error.code ?? error.message}\n`);
      }
    });
  });
  // A malformed request ends its own connection only.
  server.on('clientError', (_error, socket) => {
    if (socket.writable) socket.end('HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n');
    else socket.destroy();
  });
  return { server, root, warm };
}

export function parseArguments(args) {
  const options = { root: null, port: 0, host: '127.0.0.1' };
  for (let i = 0; i < args.length; i++) {
    const arg = args[i];
    if (arg === '--port' || arg === '--host') {
      const value = args[++i];
      if (value === undefined) throw new UsageError(`${arg} needs a value`);
      if (arg === '--host') {
        options.host = value;
      } else {
        if (!/^\d+$/.test(value) || Number(value) > 65535) {
          throw new UsageError(`not a port number (0 to 65535): ${value}`);
        }
        options.port = Number(value);
      }
    } else if (arg.startsWith('-')) {
      throw new UsageError(`unknown option ${arg}`);
    } else if (options.root === null) {
      options.root = arg;
    } else {
      throw new UsageError(`one ROOT only; also given ${arg}`);
    }
  }
  if (options.root === null) throw new UsageError('no ROOT given');
  let stat;
  try {
    stat = fs.statSync(options.root);
  } catch {
    throw new UsageError(`no such folder: ${options.root}`);
  }
  if (!stat.isDirectory()) throw new UsageError(`not a folder: ${options.root}`);
  return options;
}

export function listen(server, port, host) {
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => {
      server.off('error', reject);
      resolve(server.address().port);
    });
  });
}

async function main() {
  let options;
  try {
    options = parseArguments(process.argv.slice(2));
  } catch (error) {
    if (!(error instanceof UsageError)) throw error;
    console.error(`serve: ${error.message}`);
    console.error('usage: node app/browser/serve.mjs ROOT [--port N] [--host 127.0.0.1]');
    process.exit(2);
  }
  const { server, root, warm } = createStaticServer(options.root);
  await warm();
  let port;
  try {
    port = await listen(server, options.port, options.host);
  } catch (error) {
    console.error(`serve: cannot listen on ${options.host}:${options.port}: ${error.message}`);
    process.exit(1);
  }
  const host = options.host.includes(':') ? `[${options.host}]` : options.host;
  console.log(`Serving ${root} at http://${host}:${port}/${DEFAULT_PAGE}`);
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, () => {
      server.close();
      server.closeAllConnections();
      process.exit(0);
    });
  }
}

if (process.argv[1] && import.meta.url === pathToFileURL(fs.realpathSync(process.argv[1])).href) {
  await main();
}
