// What bench/web.mjs and bench/web_profile.mjs share: the page's server, Debian's chromium,
// and the browser-built skarvelin-sim run in a page.
import { spawn } from 'node:child_process';
import path from 'node:path';
import { createRequire } from 'node:module';

const here = path.dirname(new URL(import.meta.url).pathname);
const requireFromTests = createRequire(path.join(here, '../tests/web/package.json'));
const { chromium } = requireFromTests('playwright-core');

// Serves BUILD_WEB_DIR on a free port: { server, base }.
export function startServer(buildWeb) {
  const server = spawn(process.execPath, [path.join(here, '../app/browser/serve.mjs'), buildWeb,
    '--port', '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let text = '';
    server.stdout.on('data', (chunk) => {
      text += chunk;
      const found = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(text);
      if (found) resolve({ server, base: `http://127.0.0.1:${found[1]}/` });
    });
    server.on('exit', () => reject(new Error('the server did not start')));
  });
}

// Playwright starts the browser on a new, empty profile of its own.
export function launchChromium() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// The mean frame time skarvelin-sim --bench printed.
export function frameMean(simOutput) {
  const found = /frame_us .*mean=([\d.]+)/.exec(simOutput);
  if (!found) throw new Error(`no frame figures in: ${simOutput}`);
  return Number(found[1]);
}

// Runs skarvelin-sim with `args` in `page` to its end; what it printed.
export async function runSim(page, base, args, timeoutMs) {
  await page.goto(`${base}skarvelin-sim.html?${encodeURIComponent(args)}`);
  await page.waitForFunction(() => document.body.dataset.state === 'ended', null,
                             { timeout: timeoutMs });
  return page.evaluate(() => document.getElementById('output').textContent);
}
