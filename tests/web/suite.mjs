// The browser build played like a player: headless Chromium over the DevTools protocol, real
// key events on the page, the canvas watched through screenshots. Started by tests/web/run:
//
//   node suite.mjs --url URL --build DIR --golden DIR --shots DIR --profile DIR [--until CASE]
//
// The cases walk one chain in one page (title, story, sortie, end), each starting where the
// one before left off, then try pages whose files do not arrive (broken), then play on a
// phone's touch screen, upright, offline and from a home screen's manifest in contexts of
// their own (handheld.mjs); the first failure ends the walk. The page's watcher is in
// player.mjs.

import fs from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';

import {
  counterChanged, EB_X, EN_X, FIGHTER_BOX, fighterFound, fighterIn, LOADED, MB_X,
  PICTURE_AREAS, starPixels, STORY, TEXT_AREAS, TITLE, TITLE_EN,
} from './game_window.mjs';
import { caseManifest, caseOffline, casePhone, casePortrait, expectNoTouchControls } from './handheld.mjs';
import { BACKDROP, Failure, fail, Player, showBackdrop, sleep } from './player.mjs';

const CHROMIUM = '/usr/bin/chromium';
const CHROMIUM_ARGS = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  // Audio may start only after a gesture, as in a browser a person uses. (The policy named
  // user-gesture-required holds back audio in cross-origin frames only: the page's own
  // AudioContext would run from the start.)
  '--autoplay-policy=document-user-activation-required',
];

const CASES = ['load', 'story', 'sortie', 'end', 'language', 'broken', 'phone', 'portrait', 'offline', 'manifest'];

function parseArguments(args) {
  const options = { until: CASES.at(-1) };
  const names = {
    '--url': 'url', '--build': 'build', '--golden': 'golden', '--shots': 'shots', '--profile': 'profile', '--until': 'until',
  };
  for (let i = 0; i < args.length; i += 2) {
    const key = names[args[i]];
    if (!key || args[i + 1] === undefined) throw new Error(`bad argument ${args[i]}`);
    options[key] = args[i + 1];
  }
  for (const key of ['url', 'build', 'golden', 'shots', 'profile']) {
    if (!options[key]) throw new Error(`--${key} is needed`);
  }
  if (!CASES.includes(options.until)) throw new Error(`no case "${options.until}"; the cases: ${CASES.join(' ')}`);
  return options;
}

// Holds the key until the fighter has left its place (and for at least `leastMs`), lets go,
// and expects it in level flight again, moved in the direction given (-1, 0 or 1 on each axis).
async function fly(player, from, key, sx, sy, leastMs = 0) {
  const { keyboard } = player.page;
  await keyboard.down(key);
  try {
    await sleep(leastMs);
    await player.waitFor(5, async () => !fighterIn(player, await player.shot('flying'), { x: from.x, y: from.y, w: 1, h: 1 }),
      `holding ${key}, the fighter stays at (${from.x},${from.y}) of the playfield`);
  } finally {
    await keyboard.up(key);
  }
  const to = await player.waitFor(5, () => fighterFound(player),
    `after ${key} the fighter, at (${from.x},${from.y}) before, is nowhere in the playfield in level flight`);
  const dx = Math.sign(to.x - from.x), dy = Math.sign(to.y - from.y);
  if (dx !== sx || dy !== sy) {
    fail(`${key} moved the fighter from (${from.x},${from.y}) to (${to.x},${to.y}): expected the direction ${sx},${sy}`);
  }
  return to;
}

// ---------------------------------------------------------------- the cases

async function caseLoad(player) {
  const { page } = player;
  const navigated = Date.now();
  await page.goto(player.options.url, { waitUntil: 'commit', timeout: 10000 });
  const firstMs = await player.waitFor(10, () => player.skarvelin('firstPresentMs'),
    'no first picture within 10 s: window.skarvelin.firstPresentMs stays null');
  player.figure(`load: first picture on the canvas at ${firstMs.toFixed(0)} ms`);
  const state = await player.state();
  if (state !== 'running') fail(`after the first picture the page's state is "${state}", not "running"`);
  await player.expectShown('the title', TITLE);
  player.figure(`load: the title seen as it should be ${Date.now() - navigated} ms after the navigation began (screenshots polled)`);
  // The title is a plain rectangle: its picture's corners, the frame's metal, show, not the page.
  const title = player.reference(TITLE);
  player.expectCorners('the title', (x, y) => title.at(x, y));
}

async function caseStory(player) {
  const before = await player.skarvelin('audioState');
  if (before === 'running') fail('the audio runs before any key was pressed: the autoplay policy is not in force');
  await player.press('Enter');
  await player.expectShown('Enter on スタート: the first story page', STORY[0]);
  await player.waitFor(5, async () => (await player.skarvelin('audioState')) === 'running',
    async () => `the audio is "${await player.skarvelin('audioState')}" after the first key (before: "${before}"), not "running"`);
  for (let i = 1; i < STORY.length; i++) {
    await player.press('Enter');
    await player.expectShown(`Enter on story page ${i}`, STORY[i]);
  }
  await player.press('Enter');
  await player.expectShown('Enter on 出撃！: the loaded game window', LOADED, 15, { backdrop: BACKDROP });
  // The game window is rounded: the page shows through its corners.
  player.expectCorners('the game window', BACKDROP);
  await expectNoTouchControls(player, 'the loaded game window');
}

async function caseSortie(player) {
  const stars = starPixels(await player.shot('before-sortie'));
  if (stars !== 0) fail(`${stars} star pixels in the playfield before the sortie`);
  await player.press('s');
  await player.waitFor(5, async () => starPixels(await player.shot('stars')) > 0, 'no star appeared in the playfield after S');
  const atStart = await player.skarvelin('frameWork');
  let at = await player.waitFor(5, () => fighterFound(player),
    () => `the fighter is nowhere in the playfield (best match ${player.lastSearch.matched} of ${player.lastSearch.total} pixels)`);
  if (at.x !== FIGHTER_BOX.x || at.y !== FIGHTER_BOX.y) {
    fail(`the fighter starts at (${at.x},${at.y}) of the playfield, not (${FIGHTER_BOX.x},${FIGHTER_BOX.y})`);
  }
  // Far enough right first that flying left cannot take the fighter out of sight while the
  // screenshots that see it leave its place come slowly (a busy machine).
  const legs = [['ArrowRight', 1, 0, 400], ['ArrowDown', 0, 1], ['ArrowLeft', -1, 0], ['ArrowUp', 0, -1]];
  for (const [key, sx, sy, leastMs] of legs) {
    at = await fly(player, at, key, sx, sy, leastMs);
  }

  await player.page.keyboard.down('z');
  try {
    await player.waitFor(5, async () => counterChanged(player, await player.shot('counters'), MB_X),
      'holding Z, the bullets\' count MB stays at 0');
  } finally {
    await player.page.keyboard.up('z');
  }
  await player.waitFor(5, async () => counterChanged(player, await player.shot('counters'), EN_X), 'the enemies\' count EN stays at 0');
  if (counterChanged(player, player.last, EB_X)) fail('the enemy bullets\' count EB changed: enemies do not fire');

  // The page counts every picture put on the canvas; the sortie's are those since S.
  const work = await player.skarvelin('frameWork');
  const frames = work ? work.count - atStart.count : 0;
  if (!(frames > 0)) fail(`window.skarvelin.frameWork counts no frame of the sortie: ${JSON.stringify(work)}`);
  const mean = (work.totalMs - atStart.totalMs) / frames;
  const putting = (work.putTotalMs - atStart.putTotalMs) / frames;
  if (!(mean >= 0 && putting >= 0)) fail(`window.skarvelin.frameWork does not add up: ${JSON.stringify(work)}`);
  player.figure(`sortie: mean frame work ${mean.toFixed(3)} ms, and ${putting.toFixed(3)} ms putting the picture on the canvas, over ${frames} frames`);
}

async function caseEnd(player) {
  const { page } = player;
  await player.press('Escape');
  await player.waitFor(5, async () => (await player.state()) === 'ended',
    async () => `after Esc the page's state is "${await player.state()}", not "ended"`);
  const status = await player.skarvelin('exitStatus');
  if (status !== 0) fail(`the game ended with exit status ${status}, not 0`);
  if (await player.shown('canvas')) fail('the canvas is still shown after the end');
  const restart = await player.element('restart');
  if (!restart?.shown) fail('no #restart button is shown after the end');
  await page.screenshot({ path: path.join(player.options.shots, `${String(++player.shotIndex).padStart(2, '0')}-ended.png`) });
  player.lastShotName = 'ended';
  await page.mouse.click(restart.x + restart.w / 2, restart.y + restart.h / 2);
  await player.waitFor(10, async () => (await player.state()) === 'running' && (await player.shown('canvas')),
    async () => `after a click on #restart the page's state is "${await player.state()}" and the canvas ${(await player.shown('canvas')) ? 'shown' : 'not shown'}`);
  await player.expectShown('the title after #restart', TITLE, 10);
  const againMs = await player.skarvelin('firstPresentMs');
  if (typeof againMs === 'number') player.figure(`end: after #restart the first picture came at ${againMs.toFixed(0)} ms`);
}

// The switch shows the page and the game in English at once and keeps the choice for the next
// visit; 日本語 brings the Japanese back. A browser that prefers English, with no choice kept,
// starts in English.
async function caseLanguage(player) {
  const { page } = player;
  const licence = () => page.textContent('footer a[href="LICENCE-fonts.txt"]');
  await page.click('#language button[data-language="en"]');
  await player.expectShown('English on the switch: the title', TITLE_EN);
  if ((await licence()) !== 'Font licences') fail(`in English the footer's link says "${await licence()}"`);
  await page.reload({ waitUntil: 'commit' });
  await player.waitFor(10, () => player.skarvelin('firstPresentMs'), 'no picture within 10 s of the reload');
  await player.expectShown('the title after a reload, English kept', TITLE_EN, 10);
  await page.click('#language button[data-language="ja"]');
  await player.expectShown('日本語 on the switch: the title', TITLE);
  if ((await licence()) !== 'フォントのライセンス') fail(`in Japanese the footer's link says "${await licence()}"`);

  const { runtime } = player.options;
  runtime.browser ??= await runtime.launchBrowser();
  const context = await runtime.browser.newContext({ locale: 'en-GB', viewport: { width: 1024, height: 768 } });
  await showBackdrop(context);
  try {
    const english = await context.newPage();
    await english.goto(player.options.url, { waitUntil: 'commit', timeout: 10000 });
    const reader = new Player(english, await context.newCDPSession(english), player.options, player.areas);
    await reader.waitFor(10, () => reader.skarvelin('firstPresentMs'), 'the English page shows no picture within 10 s');
    await reader.expectShown('the title for a browser that prefers English', TITLE_EN, 10);
  } finally {
    await context.close();
  }
}

// The page's data package, then its WebAssembly, not arriving (answered 404): the page must
// say so in its error box and end, not wait for ever.
async function caseBroken(player) {
  for (const file of ['skarvelin.data', 'skarvelin.wasm']) {
    const page = await player.page.context().newPage();
    try {
      await page.route(`**/${file}`, (route) => route.fulfill({ status: 404, body: 'gone' }));
      await page.goto(player.options.url, { waitUntil: 'commit', timeout: 10000 });
      const cdp = await page.context().newCDPSession(page);
      const broken = new Player(page, cdp, player.options, player.areas);
      // Failing is what is expected here, so not waitFor(), which stops at a failed page.
      const deadline = Date.now() + 10000;
      while ((await broken.state()) !== 'failed') {
        if (Date.now() > deadline) fail(`without ${file} the page's state is "${await broken.state()}", not "failed"`);
        await sleep(50);
      }
      const box = await broken.evaluate(() => {
        const e = document.getElementById('error-box');
        return e && !e.hidden ? e.innerText : null;
      });
      if (!box || !box.trim()) fail(`without ${file} the page shows no error box`);
      player.figure(`broken: without ${file} the page says: ${box.trim().replace(/\s+/g, ' ')}`);
    } finally {
      await page.close();
    }
  }
}

const CASE_STEPS = {
  load: caseLoad, story: caseStory, sortie: caseSortie, end: caseEnd, language: caseLanguage, broken: caseBroken,
  phone: casePhone, portrait: casePortrait, offline: caseOffline, manifest: caseManifest,
};

// ---------------------------------------------------------------- running

async function launch(profile) {
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: CHROMIUM_ARGS,
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: 1,
    // A Japanese player's browser: the page chooses its language from it.
    locale: 'ja-JP',
    timeout: 30000,
    // Requests answered by a service worker would pass the broken case's routes by.
    serviceWorkers: 'block',
  });
  await showBackdrop(context);
  const page = context.pages()[0] ?? (await context.newPage());
  page.setDefaultTimeout(10000);
  const cdp = await context.newCDPSession(page);
  return { context, page, cdp };
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  const started = Date.now();
  fs.mkdirSync(options.shots, { recursive: true });
  const chain = CASES.slice(0, CASES.indexOf(options.until) + 1);
  // The contexts besides the desktop's (phones, offline) need a browser that can make them.
  options.runtime = {
    browser: null,
    launchBrowser: () => chromium.launch({ executablePath: CHROMIUM, headless: true, args: CHROMIUM_ARGS, timeout: 30000 }),
  };
  let passed = 0, failed = 0;
  let context;
  try {
    let page, cdp;
    try {
      ({ context, page, cdp } = await launch(options.profile));
    } catch (error) {
      console.error(`FAIL ${chain[0]}: Chromium did not start: ${error.message.split('\n')[0]}`);
      console.log(`web: 0 passed, 1 failed, ${chain.length - 1} skipped`);
      return 1;
    }
    const player = new Player(page, cdp, options, { text: TEXT_AREAS, picture: PICTURE_AREAS });
    for (const name of chain) {
      if (failed > 0) {
        console.log(`skip ${name}: it starts where the failed case should have ended`);
        continue;
      }
      const caseStarted = Date.now();
      const seconds = () => ((Date.now() - caseStarted) / 1000).toFixed(1);
      try {
        await CASE_STEPS[name](player);
        passed++;
        console.log(`ok   ${name} (${seconds()} s)`);
      } catch (error) {
        failed++;
        const reason = error instanceof Failure ? error.message : `${error.name}: ${error.message.split('\n')[0]}`;
        console.error(`FAIL ${name} (${seconds()} s): ${reason}`);
        await page.screenshot({ path: path.join(options.shots, `failure-${name}.png`) }).catch(() => {});
        for (const line of player.log.slice(-12)) console.error(`     ${line}`);
      }
    }
    if (player.figures.length > 0) {
      fs.writeFileSync(path.join(options.shots, 'figures.txt'), `${player.figures.join('\n')}\n`);
    }
  } finally {
    await context?.close().catch(() => {});
    await options.runtime.browser?.close().catch(() => {});
  }
  const skipped = chain.length - passed - failed;
  console.log(`web: ${((Date.now() - started) / 1000).toFixed(1)} s; screenshots in ${options.shots}`);
  console.log(`web: ${passed} passed, ${failed} failed${skipped > 0 ? `, ${skipped} skipped` : ''}`);
  return failed > 0 ? 1 : 0;
}

try {
  process.exitCode = await main();
} catch (error) {
  console.error(`web: ${error.message}`);
  process.exitCode = 2;
}
