// The browser suite's cases for phones and for playing offline (run by suite.mjs): a phone's
// viewport with touch, played with fingers through the DevTools protocol's touch events; the
// page held upright; the page kept by its service worker, with no server, then rebuilt; and
// its manifest for a home screen.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { createStaticServer, listen } from '../../app/browser/serve.mjs';
import {
  counterChanged, FIGHTER_BOX, fighterFound, fighterIn, LOADED, MB_X, PICTURE_AREAS, starPixels,
  STORY, TEXT_AREAS, TITLE,
} from './game_window.mjs';
import { Picture } from './pictures.mjs';
import { BACKDROP, fail, Player, showBackdrop, sleep } from './player.mjs';

const ROOT = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');

const PHONE = { width: 844, height: 390 };

// The page's touch controls, and what else a touch screen alone shows.
const CONTROLS = ['touch-start', 'touch-unpaced', 'pad', 'touch-fire', 'touch-end'];
const TOUCH_ONLY = [...CONTROLS, 'fullscreen', 'turn'];

// The centres of the buttons the screens are walked with, in the window's pixels: スタート on
// the title, then each story page's 次へ (app/StoryPage.cpp) and the briefing's 出撃！.
const TITLE_START = { x: 200, y: 328 };
const STORY_BUTTONS = [{ x: 284, y: 328 }, { x: 284, y: 320 }, { x: 276, y: 320 }, { x: 268, y: 320 }];

// Fingers on the touch screen: a finger put down or slid names every finger down, as a touch
// screen does; Chromium's touchEnd ends the fingers it names.
class Fingers {
  constructor(cdp) {
    this.cdp = cdp;
    this.down = new Map();
  }

  send(type, points) {
    const touchPoints = points.map(([id, p]) => ({ id, x: p.x, y: p.y, radiusX: 4, radiusY: 4, force: 1 }));
    return this.cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
  }

  put(id, at, type = 'touchStart') {
    this.down.set(id, at);
    return this.send(type, [...this.down]);
  }

  slide(id, at) {
    return this.put(id, at, 'touchMove');
  }

  lift(id) {
    const at = this.down.get(id);
    this.down.delete(id);
    return this.send('touchEnd', [[id, at]]);
  }

  async tap(at) {
    await this.put(99, at);
    await sleep(40);
    await this.lift(99);
  }
}

function centre(box) {
  return { x: box.x + box.w / 2, y: box.y + box.h / 2 };
}

// The page's geometry: the viewport, how far it scrolls, the canvas's box and the shown
// touch-only elements' boxes.
function layout(player) {
  return player.evaluate((ids) => {
    const box = (e) => {
      const r = e.getBoundingClientRect();
      return { x: r.left, y: r.top, w: r.width, h: r.height };
    };
    const shown = {};
    for (const id of ids) {
      const e = document.getElementById(id);
      if (e && e.checkVisibility() && e.getBoundingClientRect().width > 0) shown[id] = box(e);
    }
    const root = document.documentElement;
    return {
      width: innerWidth, height: innerHeight,
      scrollWidth: root.scrollWidth, scrollHeight: root.scrollHeight,
      canvas: box(document.getElementById('canvas')), shown,
    };
  }, TOUCH_ONLY);
}

const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

// The page fits its viewport without scrolling, and nothing of the page's own lies over the
// game's window.
async function expectFits(player, what) {
  const l = await layout(player);
  if (l.scrollWidth > l.width || l.scrollHeight > l.height) {
    fail(`${what}: the page is ${l.scrollWidth} x ${l.scrollHeight} in a viewport of ${l.width} x ${l.height}: it scrolls`);
  }
  const c = l.canvas;
  if (c.x < 0 || c.y < 0 || c.x + c.w > l.width || c.y + c.h > l.height) {
    fail(`${what}: the window (${c.x},${c.y} ${c.w} x ${c.h}) reaches outside the viewport of ${l.width} x ${l.height}`);
  }
  for (const [id, box] of Object.entries(l.shown)) {
    if (overlaps(box, c)) fail(`${what}: #${id} (${box.x},${box.y} ${box.w} x ${box.h}) lies over the window`);
  }
  return l;
}

// Exactly the controls named are shown.
async function expectControls(player, what, wanted) {
  const { shown } = await layout(player);
  const got = CONTROLS.filter((id) => shown[id]);
  if (got.join() !== wanted.join()) fail(`${what}: the touch controls shown are [${got}], expected [${wanted}]`);
  return shown;
}

// For the desktop's chain: a mouse and keyboard get no touch controls.
export async function expectNoTouchControls(player, what) {
  const { shown } = await layout(player);
  const got = Object.keys(shown);
  if (got.length > 0) fail(`${what}: a desktop page shows touch-only [${got}]`);
}

// ---------------------------------------------------------------- contexts

// A browser of the suite's own for contexts other than its desktop one, started once.
async function browser(player) {
  const { runtime } = player.options;
  runtime.browser ??= await runtime.launchBrowser();
  return runtime.browser;
}

async function touchContext(player, viewport, options = {}) {
  const context = await (await browser(player)).newContext({
    viewport, hasTouch: true, isMobile: true, deviceScaleFactor: 1, serviceWorkers: 'block', locale: 'ja-JP',
    ...options,
  });
  await showBackdrop(context);
  // Every key event that reaches the window, where SDL listens, in order.
  await context.addInitScript(() => {
    window.keyLog = [];
    for (const type of ['keydown', 'keyup']) {
      addEventListener(type, (e) => window.keyLog.push(`${type === 'keydown' ? '+' : '-'}${e.code}`), true);
    }
  });
  const page = await context.newPage();
  page.setDefaultTimeout(10000);
  const cdp = await context.newCDPSession(page);
  const handheld = new Player(page, cdp, player.options, { text: TEXT_AREAS, picture: PICTURE_AREAS });
  return { context, page, handheld, fingers: new Fingers(cdp) };
}

async function withContext(open, use) {
  const opened = await open();
  try {
    return await use(opened);
  } finally {
    await opened.context.close().catch(() => {});
  }
}

async function loadTitle(handheld, url) {
  const navigated = Date.now();
  await handheld.page.goto(url, { waitUntil: 'commit', timeout: 10000 });
  const firstMs = await handheld.waitFor(10, () => handheld.skarvelin('firstPresentMs'),
    'no first picture within 10 s: window.skarvelin.firstPresentMs stays null');
  await handheld.expectShown('the title', TITLE);
  return { firstMs, titleMs: Date.now() - navigated };
}

// ---------------------------------------------------------------- the phone

// The keys the window got since the mark (a count of keys before), as +code for a key down
// and -code for one let go.
async function expectKeys(handheld, what, mark, wanted) {
  const got = (await handheld.evaluate(() => window.keyLog)).slice(mark);
  if (got.join(' ') !== wanted.join(' ')) fail(`${what}: the window got the keys [${got.join(' ')}], expected [${wanted.join(' ')}]`);
}

async function walkTheScreens(handheld, fingers) {
  const inWindow = async (at) => {
    const c = (await layout(handheld)).canvas;
    return { x: c.x + at.x, y: c.y + at.y };
  };
  await fingers.tap(await inWindow(TITLE_START));
  await handheld.expectShown('a tap on スタート: the first story page', STORY[0]);
  await handheld.waitFor(5, async () => (await handheld.skarvelin('audioState')) === 'running',
    async () => `the audio is "${await handheld.skarvelin('audioState')}" after the first tap, not "running"`);
  for (let i = 0; i < STORY.length; i++) {
    await fingers.tap(await inWindow(STORY_BUTTONS[i]));
    const what = `a tap on story page ${i + 1}'s button`;
    if (i + 1 < STORY.length) await handheld.expectShown(what, STORY[i + 1]);
    else await handheld.expectShown(what, LOADED, 15, { backdrop: BACKDROP });
  }
}

// One finger flies right and up on the pad while another fires, then slides to the right:
// the window gets the keypad's keys and Z as from a keyboard, and the fighter moves and fires.
async function flyAndFire(handheld, fingers, pad, fire) {
  const mark = (await handheld.evaluate(() => window.keyLog)).length;
  const reach = pad.w * 0.35;
  const middle = centre(pad);
  await fingers.put(1, { x: middle.x + reach * 0.7, y: middle.y - reach * 0.7 });
  await fingers.put(2, centre(fire));
  await handheld.waitFor(5, async () => !fighterIn(handheld, await handheld.shot('flying'), { x: FIGHTER_BOX.x, y: FIGHTER_BOX.y, w: 1, h: 1 }),
    'a finger up and right on the pad: the fighter stays where it started');
  await handheld.waitFor(5, async () => counterChanged(handheld, await handheld.shot('firing'), MB_X),
    'a finger on the fire button: the bullets\' count MB stays at 0');
  await fingers.slide(1, { x: middle.x + reach, y: middle.y });
  await sleep(150);
  await fingers.lift(2);
  await fingers.lift(1);
  await expectKeys(handheld, 'up and right on the pad, fire, the pad finger slid to the right, both lifted', mark,
    ['+Numpad8', '+Numpad6', '+KeyZ', '-Numpad8', '-KeyZ', '-Numpad6']);
  const to = await handheld.waitFor(5, () => fighterFound(handheld),
    'the fingers lifted: the fighter is nowhere in the playfield in level flight');
  if (!(to.x > FIGHTER_BOX.x && to.y < FIGHTER_BOX.y)) {
    fail(`the pad moved the fighter from (${FIGHTER_BOX.x},${FIGHTER_BOX.y}) to (${to.x},${to.y}): expected right and up`);
  }
}

async function endWithQuestion(handheld, fingers, end) {
  await fingers.tap(centre(end));
  const question = await handheld.waitFor(5, async () => (await handheld.shown('end-question')) && handheld.element('end-yes'),
    'a tap on the end button asks nothing');
  if ((await handheld.state()) !== 'running') fail('the end button ended the game before its question was answered');
  await fingers.tap(centre(question));
  await handheld.waitFor(5, async () => (await handheld.state()) === 'ended',
    async () => `終了する answered: the page's state is "${await handheld.state()}", not "ended"`);
  const status = await handheld.skarvelin('exitStatus');
  if (status !== 0) fail(`the game ended with exit status ${status}, not 0`);
}

export async function casePhone(player) {
  await withContext(() => touchContext(player, PHONE), async ({ page, handheld, fingers }) => {
    const { firstMs, titleMs } = await loadTitle(handheld, player.options.url);
    player.figure(`phone: ${PHONE.width} x ${PHONE.height}, first picture at ${firstMs.toFixed(0)} ms, the title seen ${titleMs} ms after the navigation began`);
    await expectFits(handheld, 'the title on a phone');
    await expectControls(handheld, 'the title', []);
    await walkTheScreens(handheld, fingers);
    await handheld.waitFor(15, async () => (await handheld.evaluate(() => document.body.dataset.phase)) === 'ready',
      async () => `the game window loaded: the page's phase is "${await handheld.evaluate(() => document.body.dataset.phase)}", not "ready"`);
    const ready = await expectControls(handheld, 'the loaded game window', ['touch-start', 'touch-unpaced']);
    await expectFits(handheld, 'the loaded game window');
    await page.screenshot({ path: path.join(player.options.shots, 'phone-ready.png') });

    const mark = (await handheld.evaluate(() => window.keyLog)).length;
    await fingers.tap(centre(ready['touch-start']));
    await handheld.waitFor(5, async () => starPixels(await handheld.shot('stars')) > 0, 'no star appeared in the playfield after a tap on 出撃');
    // The sortie's start changes the controls under the finger: S must not stay down.
    await expectKeys(handheld, 'a tap on 出撃', mark, ['+KeyS', '-KeyS']);
    const controls = await expectControls(handheld, 'the sortie', ['pad', 'touch-fire', 'touch-end']);
    await expectFits(handheld, 'the sortie');
    await page.screenshot({ path: path.join(player.options.shots, 'phone-sortie.png') });
    const at = await handheld.waitFor(5, () => fighterFound(handheld), 'the fighter is nowhere in the playfield');
    if (at.x !== FIGHTER_BOX.x || at.y !== FIGHTER_BOX.y) fail(`the fighter starts at (${at.x},${at.y}), not (${FIGHTER_BOX.x},${FIGHTER_BOX.y})`);
    await flyAndFire(handheld, fingers, controls.pad, controls['touch-fire']);
    await endWithQuestion(handheld, fingers, controls['touch-end']);
  });
}

// Upright, the page asks for the phone to be turned and fits the window into its width;
// turned, it stops asking.
export async function casePortrait(player) {
  await withContext(() => touchContext(player, { width: PHONE.height, height: PHONE.width }), async ({ page, handheld }) => {
    await handheld.page.goto(player.options.url, { waitUntil: 'commit', timeout: 10000 });
    await handheld.waitFor(10, () => handheld.skarvelin('firstPresentMs'), 'no first picture within 10 s');
    const upright = await expectFits(handheld, 'upright');
    if (!upright.shown.turn) fail('upright, the page does not ask for the phone to be turned (#turn)');
    if (upright.canvas.w > upright.width) fail(`upright, the window is ${upright.canvas.w} pixels wide in ${upright.width}`);
    await page.screenshot({ path: path.join(player.options.shots, 'phone-upright.png') });
    await page.setViewportSize(PHONE);
    await handheld.waitFor(5, async () => !(await layout(handheld)).shown.turn, 'turned sideways, the page still asks for it to be turned');
    await expectFits(handheld, 'turned sideways');
  });
}

// ---------------------------------------------------------------- offline

// The page's files as the build lists them for its service worker.
function offlineFiles(build) {
  const worker = fs.readFileSync(path.join(build, 'skarvelin-sw.js'), 'utf8');
  return [...worker.matchAll(/"name": "([^"]+)", "bytes": (\d+)/g)].map((m) => ({ name: m[1], bytes: Number(m[2]) }));
}

// The build's own step that writes the service worker, run on a copy of the page.
function writeWorker(dir, names) {
  const run = spawnSync('cmake', [`-DDIR=${dir}`, `-DTEMPLATE=${ROOT}/app/browser/service_worker.js.in`,
    '-DOUTPUT=skarvelin-sw.js', `-DFILES=${names.join(';')}`, '-P', `${ROOT}/app/browser/offline_files.cmake`],
  { encoding: 'utf8' });
  if (run.status !== 0) fail(`writing the service worker failed: ${run.stderr || run.error}`);
}

// A server for a copy of the page that can go away and come back on the same address.
class PageServer {
  constructor(dir) {
    this.dir = dir;
    this.port = 0;
  }

  async start() {
    ({ server: this.server } = createStaticServer(this.dir));
    this.port = await listen(this.server, this.port, '127.0.0.1');
    return `http://127.0.0.1:${this.port}/skarvelin.html`;
  }

  async stop() {
    if (!this.server?.listening) return;
    this.server.closeAllConnections();
    await new Promise((resolve) => this.server.close(resolve));
  }
}

// What the page's origin keeps: each cache's name and the bytes of its entries.
function kept(handheld) {
  return handheld.evaluate(async () => {
    const all = {};
    for (const name of await caches.keys()) {
      const cache = await caches.open(name);
      const entries = {};
      for (const request of await cache.keys()) {
        entries[new URL(request.url).pathname.slice(1)] = (await (await cache.match(request)).arrayBuffer()).byteLength;
      }
      all[name] = entries;
    }
    return all;
  });
}

// Waits until the origin keeps one cache, the worker's of that build, and checks it holds
// every file of the build whole.
async function waitKept(handheld, dir, files, what) {
  const version = /const VERSION = '([0-9a-f]+)'/.exec(fs.readFileSync(path.join(dir, 'skarvelin-sw.js'), 'utf8'))[1];
  const wanted = `skarvelin-${version}`;
  // The caches once no worker is being installed.
  const settled = () => handheld.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    const busy = !registration?.active || registration.installing || registration.waiting;
    return busy ? null : (await caches.keys()).join();
  });
  await handheld.waitFor(20, async () => (await settled()) === wanted,
    async () => `${what}: the page keeps the caches [${await handheld.evaluate(() => caches.keys())}], not only ${wanted}`);
  const entries = (await kept(handheld))[wanted];
  for (const f of files) {
    if (entries[f.name] !== f.bytes) fail(`${what}: the cache holds ${entries[f.name] ?? 'no'} bytes of ${f.name}, not ${f.bytes}`);
  }
  return entries;
}

async function expectBuild(handheld, mark, what) {
  const got = await handheld.evaluate(() => document.querySelector('meta[name="build-mark"]')?.content ?? null);
  if (got !== mark) fail(`${what}: the page running is build "${got}", expected "${mark}"`);
}

// Every file the page asks for must have been kept: a file the worker does not know fails.
async function reloadOffline(handheld, context, server, what) {
  await server.stop();
  await context.setOffline(true);
  const missing = [];
  const note = (request) => missing.push(request.url());
  handheld.page.on('requestfailed', note);
  try {
    await handheld.page.reload({ waitUntil: 'commit' });
    await handheld.waitFor(10, () => handheld.skarvelin('firstPresentMs'), `${what}: no first picture within 10 s`);
    await handheld.expectShown(what, TITLE);
  } finally {
    handheld.page.off('requestfailed', note);
  }
  if (missing.length > 0) fail(`${what}: the page asked for what was not kept: ${missing.join(', ')}`);
}

// Marks a copy of the page as another build and writes its worker, as a rebuild would.
function rebuild(dir, files, mark) {
  const page = path.join(dir, 'skarvelin.html');
  const html = fs.readFileSync(page, 'utf8').replace(/<meta name="build-mark"[^>]*>\n?/, '');
  fs.writeFileSync(page, html.replace('<head>\n', `<head>\n<meta name="build-mark" content="${mark}">\n`));
  writeWorker(dir, files.map((f) => f.name));
  return offlineFiles(dir);
}

export async function caseOffline(player) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'skarvelin-offline-'));
  const server = new PageServer(dir);
  try {
    let files = offlineFiles(player.options.build);
    for (const f of files) fs.copyFileSync(path.join(player.options.build, f.name), path.join(dir, f.name));
    files = rebuild(dir, files, 'first');
    const url = await server.start();
    await withContext(() => touchContext(player, { width: 1024, height: 768 }, { serviceWorkers: 'allow', isMobile: false, hasTouch: false }), async ({ context, handheld }) => {
      await loadTitle(handheld, url);
      const entries = await waitKept(handheld, dir, files, 'after the first visit');
      const total = Object.values(entries).reduce((a, b) => a + b, 0);
      player.figure(`offline: the service worker keeps ${Object.keys(entries).length} files, ${total} bytes: ${Object.entries(entries).map(([n, b]) => `${n} ${b}`).join(', ')}`);
      await reloadOffline(handheld, context, server, 'reloaded with no server and no network');
      await expectBuild(handheld, 'first', 'offline');

      files = rebuild(dir, files, 'second');
      await server.start();
      await context.setOffline(false);
      await handheld.page.reload({ waitUntil: 'commit' });
      await handheld.waitFor(10, () => handheld.skarvelin('firstPresentMs'), 'the rebuilt page: no first picture within 10 s');
      await handheld.expectShown('the rebuilt page', TITLE, 10);
      await expectBuild(handheld, 'second', 'the first visit after a rebuild');
      await waitKept(handheld, dir, files, 'after the rebuilt page\'s visit');
      await reloadOffline(handheld, context, server, 'the rebuilt page reloaded with no network');
      await expectBuild(handheld, 'second', 'offline after the rebuild');
    });
  } finally {
    await server.stop();
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// ---------------------------------------------------------------- the manifest

async function fetchOk(url, what) {
  const response = await fetch(url);
  if (!response.ok) fail(`${what} (${url}): HTTP ${response.status}`);
  return response;
}

export async function caseManifest(player) {
  const page = new URL(player.options.url);
  const html = await (await fetchOk(page, 'the page')).text();
  const link = /<link rel="manifest" href="([^"]+)">/.exec(html);
  if (!link) fail('the page links no manifest');
  const manifestUrl = new URL(link[1], page);
  let manifest;
  try {
    manifest = JSON.parse(await (await fetchOk(manifestUrl, 'the manifest')).text());
  } catch (error) {
    fail(`the manifest is not JSON: ${error.message}`);
  }
  const want = { name: 'Skarvelin', display: 'fullscreen', orientation: 'landscape' };
  for (const [key, value] of Object.entries(want)) {
    if (manifest[key] !== value) fail(`the manifest's ${key} is ${JSON.stringify(manifest[key])}, not "${value}"`);
  }
  const sizes = [];
  for (const icon of manifest.icons ?? []) {
    const url = new URL(icon.src, manifestUrl);
    const picture = Picture.fromPng(Buffer.from(await (await fetchOk(url, 'an icon')).arrayBuffer()), icon.src);
    if (icon.sizes !== `${picture.width}x${picture.height}`) fail(`the icon ${icon.src} says ${icon.sizes} and is ${picture.width}x${picture.height}`);
    sizes.push(picture.width);
  }
  for (const size of [192, 512]) {
    if (!sizes.includes(size)) fail(`the manifest has no ${size}x${size} icon (it has ${sizes.join(', ')})`);
  }
  const start = await (await fetchOk(new URL(manifest.start_url, manifestUrl), 'the start address')).text();
  if (!start.includes('skarvelin.js')) fail(`the start address ${manifest.start_url} is not the game's page`);
  // Chromium's own reading of it.
  await withContext(() => touchContext(player, PHONE, { serviceWorkers: 'allow' }), async ({ page: tab, handheld }) => {
    await loadTitle(handheld, player.options.url);
    const cdp = await tab.context().newCDPSession(tab);
    const { errors } = await cdp.send('Page.getAppManifest');
    if (errors.length > 0) fail(`Chromium finds the manifest wrong: ${errors.map((e) => e.message).join('; ')}`);
    // The suite's contexts are incognito ones, where Chromium installs nothing whatever the page.
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    const blocking = installabilityErrors.filter((e) => e.errorId !== 'in-incognito');
    if (blocking.length > 0) fail(`Chromium would not install the page: ${blocking.map((e) => e.errorId).join(', ')}`);
    player.figure(`manifest: Chromium's installability errors: ${installabilityErrors.map((e) => e.errorId).join(', ') || 'none'}`);
  });
}
