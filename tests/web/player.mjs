// The page and its watcher for the browser suite (suite.mjs): a Player reads the page over
// the DevTools protocol, takes screenshots of the canvas and compares them with the golden
// pictures.
import fs from 'node:fs';
import path from 'node:path';

import { compare, findFramed, hex, Picture } from './pictures.mjs';

export const WIDTH = 549, HEIGHT = 349;
// Shows through where the canvas is transparent: a colour no window of the game has.
export const BACKDROP = 0xff00ff;

// The frame in the backdrop's colour, alone or half blended with the page's dark background.
function isBackdropFrame(colour) {
  const r = colour >> 16, g = (colour >> 8) & 0xff, b = colour & 0xff;
  return colour >= 0 && r >= 0x60 && b >= 0x60 && g <= 0x30 && Math.abs(r - b) <= 0x20;
}

// The page behind the canvas, and a frame around it, in a colour of our own, so that
// transparency can be seen and the canvas found in a screenshot.
export async function showBackdrop(context) {
  await context.addInitScript((colour) => {
    document.addEventListener('DOMContentLoaded', () => {
      const style = document.createElement('style');
      style.textContent = `#canvas { background: ${colour} !important; outline: 1px solid ${colour} !important; outline-offset: 0 !important; }`;
      document.head.append(style);
    });
  }, `#${hex(BACKDROP)}`);
}

export class Failure extends Error {}

export function fail(message) {
  throw new Failure(message);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Reads the page through the DevTools protocol itself: playwright's own evaluations count as
// a user's gesture, which would let the page's audio start before any key was pressed.
export class Player {
  // areas: {text, picture}, each the rectangles of the screens' texts or JPEG pictures by
  // reference name, where compare() tolerates what the browser's rendering rounds otherwise.
  constructor(page, cdp, options, areas = { text: {}, picture: {} }) {
    this.page = page;
    this.areas = areas;
    this.cdp = cdp;
    this.options = options;
    this.references = new Map();
    this.shotIndex = 0;
    this.lastShotName = null;
    this.log = [];
    this.figures = [];
    page.on('console', (m) => {
      const where = m.type() === 'error' && m.location()?.url ? ` (${m.location().url})` : '';
      this.note(`console.${m.type()}: ${m.text()}${where}`);
    });
    page.on('pageerror', (e) => this.note(`page error: ${e.message}`));
    page.on('response', (r) => r.status() >= 400 && this.note(`HTTP ${r.status()} for ${r.url()}`));
    page.on('requestfailed', (r) => this.note(`request failed: ${r.url()} ${r.failure()?.errorText ?? ''}`));
    page.on('crash', () => this.note('the page crashed'));
  }

  note(line) {
    this.log.push(line);
    fs.appendFileSync(path.join(this.options.shots, 'console.log'), `${line}\n`);
  }

  figure(line) {
    this.figures.push(line);
    console.log(`  ${line}`);
  }

  reference(name) {
    if (!this.references.has(name)) {
      this.references.set(name, Picture.load(path.join(this.options.golden, `${name}.png`)));
    }
    return this.references.get(name);
  }

  // Runs a function in the page, as no gesture, bounded in time: a page whose main thread
  // hangs fails the case instead of the suite waiting for ever.
  async evaluate(fn, arg) {
    let timer;
    const timeout = new Promise((_, reject) => {
      timer = setTimeout(() => reject(new Failure('the page stopped answering for 10 s')), 10000);
    });
    const call = this.cdp.send('Runtime.evaluate', {
      expression: `(${fn})(${JSON.stringify(arg ?? null)})`,
      returnByValue: true,
      awaitPromise: true,
      userGesture: false,
    });
    try {
      const { result, exceptionDetails } = await Promise.race([call, timeout]);
      if (exceptionDetails) {
        fail(`a script in the page threw: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
      }
      return result.value;
    } finally {
      clearTimeout(timer);
    }
  }

  // Where an element lies in the viewport (x, y) and on the page (pageX, pageY), and whether
  // it is shown; null when it is not there.
  element(id) {
    return this.evaluate((elementId) => {
      const e = document.getElementById(elementId);
      if (!e || !e.isConnected) return null;
      const r = e.getBoundingClientRect();
      const shown = e.checkVisibility({ opacityProperty: true, visibilityProperty: true }) && r.width > 0 && r.height > 0;
      return { x: r.left, y: r.top, pageX: r.left + window.scrollX, pageY: r.top + window.scrollY, w: r.width, h: r.height, shown };
    }, id);
  }

  async shown(id) {
    return (await this.element(id))?.shown === true;
  }

  state() {
    return this.evaluate(() => document.body?.dataset.state ?? null);
  }

  async failedState() {
    const state = await this.state();
    if (state !== 'failed') return;
    const message = await this.evaluate(() => document.getElementById('error-box')?.innerText ?? '');
    fail(`the page failed: ${message.trim() || '(no message in #error-box)'}`);
  }

  // Polls check() every 50 ms until it returns a truthy value, for at most `seconds`;
  // fails with what() when time is up. A page that fails meanwhile fails at once.
  async waitFor(seconds, check, what) {
    const deadline = Date.now() + seconds * 1000;
    for (;;) {
      await this.failedState();
      const value = await check();
      if (value) return value;
      if (Date.now() > deadline) fail(typeof what === 'function' ? await what() : what);
      await sleep(50);
    }
  }

  // A screenshot of the canvas as the page shows it, kept as <index>-<name>.png; a name
  // taken again in a row overwrites its file, so polling keeps its last look only.
  // The page may place the canvas between two pixels (an odd size centred): the browser
  // then puts its picture on the next whole pixel and blends the frame the suite draws
  // around it with the page. So the shot is taken a little larger and the canvas found
  // inside that frame.
  async shot(name) {
    const canvas = await this.element('canvas');
    if (!canvas?.shown) fail('the page shows no #canvas');
    if (canvas.w !== WIDTH || canvas.h !== HEIGHT) {
      fail(`the canvas takes ${canvas.w} x ${canvas.h} pixels of the page, not ${WIDTH} x ${HEIGHT}`);
    }
    const margin = 3;
    const clip = {
      x: Math.floor(canvas.pageX) - margin,
      y: Math.floor(canvas.pageY) - margin,
      width: WIDTH + 2 * margin + 1,
      height: HEIGHT + 2 * margin + 1,
      scale: 1,
    };
    const { data } = await this.cdp.send('Page.captureScreenshot', { format: 'png', clip });
    const around = Picture.fromPng(Buffer.from(data, 'base64'), 'a screenshot');
    const at = findFramed(around, isBackdropFrame, WIDTH, HEIGHT);
    if (!at) fail(`the canvas, said to lie at (${canvas.pageX},${canvas.pageY}) of the page, is not there in a screenshot`);
    const picture = around.crop(at.x, at.y, WIDTH, HEIGHT);
    this.canvasPlace = { x: canvas.pageX, y: canvas.pageY };
    if (name !== this.lastShotName) {
      this.shotIndex++;
      this.lastShotName = name;
    }
    const file = `${String(this.shotIndex).padStart(2, '0')}-${name}.png`;
    fs.writeFileSync(path.join(this.options.shots, file), picture.toPng());
    this.last = picture;
    return picture;
  }

  async shows(name, options = {}) {
    const shot = await this.shot(name.replace(/^screen-/, ''));
    this.lastCompare = compare(shot, this.reference(name),
      { ...options, textAreas: this.areas.text[name] ?? [], pictureAreas: this.areas.picture[name] ?? [] });
    return this.lastCompare.same;
  }

  // Waits until the canvas shows the reference picture; says how it differs if it never does.
  async expectShown(what, name, seconds = 5, options = {}) {
    const why = () => {
      const { x, y } = this.canvasPlace;
      // Seen in Chromium: a canvas placed between pixels loses its last column and row.
      const between = x % 1 !== 0 || y % 1 !== 0 ? `; the canvas lies between pixels of the page, at (${x},${y})` : '';
      return `${what}: ${name}.png: ${this.lastCompare.summary}${between}`;
    };
    await this.waitFor(seconds, () => this.shows(name, options), why);
    if (this.lastCompare.differ > 0) this.figure(`${what}: ${this.lastCompare.summary}`);
  }

  // `colour`: one for every corner, or a function of the corner's place.
  expectCorners(what, colour) {
    for (const [x, y] of [[0, 0], [WIDTH - 1, 0], [0, HEIGHT - 1], [WIDTH - 1, HEIGHT - 1]]) {
      const got = this.last.at(x, y);
      const want = typeof colour === 'function' ? colour(x, y) : colour;
      if (got !== want) fail(`${what}: the corner (${x},${y}) is ${hex(got)}, expected ${hex(want)}`);
    }
  }

  // A key pressed and let go like a hand: the game sees it down for a moment.
  async press(key) {
    await this.page.keyboard.press(key, { delay: 40 });
  }

  skarvelin(property) {
    return this.evaluate((p) => {
      const s = window.skarvelin;
      if (!s) return undefined;
      return typeof s[p] === 'function' ? s[p]() : s[p];
    }, property);
  }
}
