// The browser build's figures, beside the desktop's: page load to the title, the download,
// and the sortie's frame work in skarvelin-sim, in Debian's chromium and natively,
// interleaved. Run by `./benchmark --web`.
//
//   node bench/web.mjs BUILD_WEB_DIR NATIVE_SIM [--runs N]
import { execFileSync } from 'node:child_process';
import http from 'node:http';
import { frameMean, launchChromium, runSim, startServer } from './sim_page.mjs';

const [buildWeb, nativeSim] = process.argv.slice(2);
const runsAt = process.argv.indexOf('--runs');
const runs = runsAt > 0 ? Number(process.argv[runsAt + 1]) : 5;
if (!buildWeb || !nativeSim || !(runs > 0)) {
  console.error('usage: node bench/web.mjs BUILD_WEB_DIR NATIVE_SIM [--runs N]');
  process.exit(2);
}
const SIM_ARGS = '--frames 20000 --seed 7 --bench';
const PAGE_FILES = ['skarvelin.html', 'skarvelin.js', 'skarvelin.wasm', 'skarvelin.data',
  'skarvelin.png'];

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor((sorted.length - 1) / 2)];
}

// What a browser downloads: each file as the server sends it to a client taking gzip.
function transferSize(url) {
  return new Promise((resolve, reject) => {
    http.get(url, { headers: { 'Accept-Encoding': 'gzip' } }, (res) => {
      let bytes = 0;
      res.on('data', (chunk) => { bytes += chunk.length; });
      res.on('end', () => (res.statusCode === 200 ? resolve(bytes)
                                                  : reject(new Error(`${url}: ${res.statusCode}`))));
    }).on('error', reject);
  });
}

async function browserSimMean(browser, base) {
  const page = await browser.newPage();
  const text = await runSim(page, base, SIM_ARGS, 300000);
  await page.close();
  return frameMean(text);
}

async function loadToTitle(browser, base) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`${base}skarvelin.html`);
  await page.waitForFunction(() => window.skarvelin && window.skarvelin.firstPresentMs !== null,
                             null, { timeout: 60000 });
  const ms = await page.evaluate(() => window.skarvelin.firstPresentMs);
  await context.close();
  return ms;
}

const { server, base } = await startServer(buildWeb);
const browser = await launchChromium();
try {
  let download = 0;
  for (const file of PAGE_FILES) download += await transferSize(base + file);
  const loads = [];
  const native = [];
  const web = [];
  for (let i = 0; i < runs; i++) {
    loads.push(await loadToTitle(browser, base));
    native.push(frameMean(execFileSync(nativeSim, SIM_ARGS.split(' '), { encoding: 'utf8' })));
    web.push(await browserSimMean(browser, base));
  }
  const ratio = median(web) / median(native);
  const rows = [
    ['page load to the title (median)', `${median(loads).toFixed(0)} ms`, '2000 ms',
      median(loads) < 2000],
    ['download, gzip as served', `${(download / 1e6).toFixed(2)} MB`, '15 MB', download < 15e6],
    ['sortie frame work, browser / desktop', `${ratio.toFixed(2)} x (${median(web).toFixed(1)} us` +
      ` / ${median(native).toFixed(1)} us)`, '2 x', ratio <= 2],
  ];
  console.log(`\n${runs} runs; loads ${loads.map((v) => v.toFixed(0)).join(', ')} ms; ` +
              `frame work (us) browser ${web.join(', ')}, desktop ${native.join(', ')}\n`);
  console.log('| figure | measured | target | met |\n| --- | ---: | ---: | --- |');
  for (const [what, measured, target, met] of rows) {
    console.log(`| ${what} | ${measured} | ${target} | ${met ? 'yes' : 'no'} |`);
  }
} finally {
  await browser.close();
  server.kill();
}
