// The game's windows as the browser suite sees them: where the playfield, the counters and
// the fighter are, the reference pictures of the screens and where they hold text, and the
// checks that read a screenshot of the game window. Shared by suite.mjs and handheld.mjs.
import { countColour, countDiffering, cutSprite, findSprite, TEAL } from './pictures.mjs';

// The game window's playfield and head-up counters, in the window's pixels.
export const FIELD = { x: 19, y: 34, w: 512, h: 300 };
export const COUNTER = { y: 8, w: 45, h: 19 };
export const MB_X = 273, EN_X = 319, EB_X = 366;
// The fighter at its start, cut from a reference playfield, and the place of its box there.
export const FIGHTER_FRAME = 'playfield-frame-25';
export const FIGHTER_BOX = { x: 4, y: 126, w: 56, h: 36 };

export const STORY = ['screen-form2-world1', 'screen-form3-world2', 'screen-form4-world3', 'screen-form5-briefing'];
export const TITLE = 'screen-form1-title';
export const TITLE_EN = 'screen-form1-title-en';
export const LOADED = 'screen-frmmain-loaded';

// Where each screen draws text: its labels and buttons. The browser's glyphs may come out a
// shade off at a few edge pixels there (seen: up to 43 pixels an area, 2 units a channel).
const area = (x, y, w, h) => ({ x, y, w, h });
export const TEXT_AREAS = {
  [TITLE]: [
    area(0, 24, 545, 57), // the title and its shadow
    area(8, 128, 537, 89), // the three lines of instructions
    area(128, 312, 297, 33), // the buttons
  ],
  [TITLE_EN]: [area(0, 24, 545, 57), area(8, 128, 537, 89), area(128, 312, 297, 33)],
  [STORY[0]]: [area(8, 8, 529, 145), area(200, 312, 169, 33)],
  [STORY[1]]: [area(8, 0, 529, 145), area(200, 304, 169, 33)],
  [STORY[2]]: [area(0, 0, 529, 177), area(192, 304, 169, 33)],
  [STORY[3]]: [area(16, 16, 529, 49), area(16, 72, 529, 161), area(184, 304, 169, 33)],
};
// Where the story pages show their JPEG pictures (the places app/StoryPage.cpp gives them).
export const PICTURE_AREAS = {
  [STORY[0]]: [area(32, 88, 489, 209)],
  [STORY[1]]: [area(136, 136, 289, 161)],
  [STORY[2]]: [area(200, 176, 153, 121)],
};

export function starPixels(shot) {
  return countColour(shot, FIELD, TEAL);
}

// The fighter's box in a rectangle of the playfield, or null.
export function fighterIn(player, shot, { x, y, w, h }) {
  player.fighterSprite ??= cutSprite(player.reference(FIGHTER_FRAME), FIGHTER_BOX);
  const hit = findSprite(shot, { x: FIELD.x + x, y: FIELD.y + y, w, h }, player.fighterSprite);
  player.lastSearch = hit;
  return hit.found ? { x: hit.x + x, y: hit.y + y } : null;
}

// Anywhere in the playfield; its box may reach a few pixels beyond.
export async function fighterFound(player) {
  return fighterIn(player, await player.shot('fighter'), { x: -8, y: -8, w: FIELD.w + 8, h: FIELD.h + 8 });
}

// The counter at x of the head-up display differs from its look in the loaded window.
export function counterChanged(player, shot, x) {
  return countDiffering(shot, { x, y: COUNTER.y, w: COUNTER.w, h: COUNTER.h }, player.reference(LOADED), x, COUNTER.y) > 0;
}
