// Looking at screenshots: the browser suite's counterpart of the desktop suite's probe.
// Colours are 0xRRGGBB numbers; places are in the picture's own pixels.

import fs from 'node:fs';
import { PNG } from 'pngjs';

export const BLACK = 0x000000;
export const TEAL = 0x30b0b0; // the stars

// A colour no pixel has: what lies outside a picture never matches anything.
const OUTSIDE = -1;

export function hex(colour) {
  return colour === OUTSIDE ? 'outside' : colour.toString(16).toUpperCase().padStart(6, '0');
}

export class Picture {
  constructor(width, height, rgba) {
    this.width = width;
    this.height = height;
    this.rgba = rgba ?? Buffer.alloc(width * height * 4, 0xff);
  }

  static fromPng(bytes, what = 'picture') {
    let png;
    try {
      png = PNG.sync.read(bytes);
    } catch (error) {
      throw new Error(`cannot read ${what} as PNG: ${error.message}`);
    }
    return new Picture(png.width, png.height, png.data);
  }

  static load(file) {
    let bytes;
    try {
      bytes = fs.readFileSync(file);
    } catch (error) {
      throw new Error(`cannot read ${file}: ${error.code ?? error.message}`);
    }
    return Picture.fromPng(bytes, file);
  }

  toPng() {
    const png = new PNG({ width: this.width, height: this.height });
    this.rgba.copy(png.data);
    return PNG.sync.write(png);
  }

  crop(x0, y0, width, height) {
    const part = new Picture(width, height);
    for (let y = 0; y < height; y++) {
      for (let x = 0; x < width; x++) {
        const c = this.at(x0 + x, y0 + y);
        if (c !== OUTSIDE) part.set(x, y, c);
      }
    }
    return part;
  }

  inside(x, y) {
    return x >= 0 && y >= 0 && x < this.width && y < this.height;
  }

  at(x, y) {
    if (!this.inside(x, y)) return OUTSIDE;
    const i = (y * this.width + x) * 4;
    return (this.rgba[i] << 16) | (this.rgba[i + 1] << 8) | this.rgba[i + 2];
  }

  set(x, y, colour) {
    const i = (y * this.width + x) * 4;
    this.rgba[i] = colour >> 16;
    this.rgba[i + 1] = (colour >> 8) & 0xff;
    this.rgba[i + 2] = colour & 0xff;
    this.rgba[i + 3] = 0xff;
  }
}

function contains(rect, x, y) {
  return x >= rect.x && y >= rect.y && x < rect.x + rect.w && y < rect.y + rect.h;
}

// Where a rounded window may let the page behind it show: its corners and a thin band along
// its edges (the outline may start a few pixels in).
export function mayBeCutAway(x, y, width, height) {
  const CORNER = 40, BAND = 4;
  const dx = Math.min(x, width - 1 - x), dy = Math.min(y, height - 1 - y);
  return (dx < CORNER && dy < CORNER) || dx < BAND || dy < BAND;
}

// Groups of differing pixels, so that a report says where they lie ("12 at x 120..140,
// y 300..312") rather than one box around all: pixels fall into cells of `gap` pixels, and
// touching cells form a group. Largest first.
export function clusters(points, gap = 8) {
  const cells = new Map();
  const key = (cx, cy) => `${cx},${cy}`;
  for (const [x, y] of points) {
    const k = key(Math.floor(x / gap), Math.floor(y / gap));
    if (!cells.has(k)) cells.set(k, []);
    cells.get(k).push([x, y]);
  }
  const boxes = [];
  const seen = new Set();
  for (const start of cells.keys()) {
    if (seen.has(start)) continue;
    seen.add(start);
    const box = { left: Infinity, right: -Infinity, top: Infinity, bottom: -Infinity, count: 0 };
    const queue = [start];
    while (queue.length > 0) {
      const k = queue.pop();
      for (const [x, y] of cells.get(k)) {
        box.left = Math.min(box.left, x);
        box.right = Math.max(box.right, x);
        box.top = Math.min(box.top, y);
        box.bottom = Math.max(box.bottom, y);
        box.count++;
      }
      const [cx, cy] = k.split(',').map(Number);
      for (let dy = -1; dy <= 1; dy++) {
        for (let dx = -1; dx <= 1; dx++) {
          const next = key(cx + dx, cy + dy);
          if (cells.has(next) && !seen.has(next)) {
            seen.add(next);
            queue.push(next);
          }
        }
      }
    }
    boxes.push(box);
  }
  return boxes.sort((a, b) => b.count - a.count);
}

// The largest groups, and how many more there are.
export function describeClusters(boxes, most = 6) {
  const told = boxes.slice(0, most).map((b) => `${b.count} at x ${b.left}..${b.right}, y ${b.top}..${b.bottom}`);
  if (boxes.length > most) told.push(`${boxes.length - most} more groups`);
  return told.join('; ');
}

// The largest difference of one channel between two colours.
export function channelDelta(a, b) {
  if (a < 0 || b < 0) return 255;
  return Math.max(
    Math.abs((a >> 16) - (b >> 16)),
    Math.abs(((a >> 8) & 0xff) - ((b >> 8) & 0xff)),
    Math.abs((a & 0xff) - (b & 0xff)),
  );
}

// compare(shot, reference, options): whether the shot shows the reference, pixel for pixel.
//   backdrop: the page's colour behind the canvas; where a rounded window may be cut away,
//     pixels of that colour are counted apart (`cut`), not as differences.
//   textAreas: [{x, y, w, h}]: where text is drawn. The edges of the browser's glyphs may
//     come out a shade off: inside each area, up to `textMost` pixels that differ by at most
//     `textDelta` in every channel are tolerated.
//   pictureAreas: [{x, y, w, h}]: where a JPEG picture is drawn. The browser's decoder
//     (stb_image) rounds its colours otherwise than the desktop's (libjpeg): any number of
//     pixels there may differ by at most `pictureDelta` in every channel.
//   Nothing is tolerated anywhere else.
// Returns {same, differ, tolerated, cut, largest, boxes, first, summary}.
export function compare(shot, reference, { backdrop = null, textAreas = [], textMost = 64, textDelta = 2,
                                          pictureAreas = [], pictureDelta = 2 } = {}) {
  const real = [];
  const shaded = textAreas.map(() => []);
  let cut = 0, largest = 0, rounded = 0;
  let first = null;
  for (let y = 0; y < reference.height; y++) {
    for (let x = 0; x < reference.width; x++) {
      const want = reference.at(x, y), got = shot.at(x, y);
      if (backdrop !== null && got === backdrop && mayBeCutAway(x, y, reference.width, reference.height)) {
        cut++;
        continue;
      }
      if (want === got) continue;
      first ??= { x, y, want, got };
      const delta = channelDelta(want, got);
      largest = Math.max(largest, delta);
      if (delta <= pictureDelta && pictureAreas.some((a) => contains(a, x, y))) {
        rounded++;
        continue;
      }
      const area = delta <= textDelta ? textAreas.findIndex((a) => contains(a, x, y)) : -1;
      (area < 0 ? real : shaded[area]).push([x, y]);
    }
  }
  const tolerable = shaded.every((list) => list.length <= textMost);
  const tolerated = tolerable ? shaded.reduce((n, list) => n + list.length, 0) : 0;
  const all = real.concat(...shaded);
  const same = real.length === 0 && tolerable;
  const boxes = clusters(all);
  let summary = `${all.length} of ${reference.width} x ${reference.height} pixels differ`;
  if (all.length > 0) {
    summary += ` (${describeClusters(boxes)}); the first at (${first.x},${first.y}): ` +
      `reference ${hex(first.want)}, screen ${hex(first.got)}; at most ${largest} apart in a channel`;
  }
  if (same && tolerated > 0) summary += `, all a shade off in the text`;
  if (rounded > 0) summary += `; ${rounded} more in the pictures, a decoder's rounding apart`;
  if (backdrop !== null) summary += ` (${cut} cut away by the shape)`;
  return { same, differ: all.length, tolerated, rounded, cut, largest, boxes, first, summary };
}

// How many pixels of a rectangle have the colour.
export function countColour(picture, { x, y, w, h }, colour) {
  let n = 0;
  for (let py = y; py < y + h; py++) {
    for (let px = x; px < x + w; px++) n += picture.at(px, py) === colour ? 1 : 0;
  }
  return n;
}

// How many pixels of a's rectangle differ from b's rectangle of the same size at (bx, by).
export function countDiffering(a, { x, y, w, h }, b, bx, by) {
  let n = 0;
  for (let py = 0; py < h; py++) {
    for (let px = 0; px < w; px++) n += a.at(x + px, y + py) !== b.at(bx + px, by + py) ? 1 : 0;
  }
  return n;
}

// A sprite: the pixels of a box that are neither the black field nor a star.
export function cutSprite(frame, { x, y, w, h }) {
  const points = [];
  for (let py = 0; py < h; py++) {
    for (let px = 0; px < w; px++) {
      const c = frame.at(x + px, y + py);
      if (c !== BLACK && c !== TEAL && c !== OUTSIDE) points.push({ dx: px, dy: py, colour: c });
    }
  }
  if (points.length === 0) throw new Error('the reference box holds no sprite');
  return points;
}

// Where in the search rectangle the sprite's box matches best: {x, y} relative to the
// rectangle, how many pixels matched, and `found` when 95 % do. A place is given up as soon
// as it can no longer beat the best so far, which keeps the search exact and quick.
export function findSprite(picture, search, sprite) {
  let best = 0, bestX = 0, bestY = 0;
  for (let y = 0; y < search.h; y++) {
    for (let x = 0; x < search.w; x++) {
      const ox = search.x + x, oy = search.y + y;
      let matched = 0, missed = 0;
      const allowed = sprite.length - best;
      for (const p of sprite) {
        if (picture.at(ox + p.dx, oy + p.dy) === p.colour) matched++;
        else if (++missed >= allowed) break;
      }
      if (matched > best) {
        best = matched;
        bestX = x;
        bestY = y;
      }
    }
  }
  return { x: bestX, y: bestY, matched: best, total: sprite.length, found: best * 20 >= sprite.length * 19 };
}

// Where a box of the size lies inside a one-pixel frame of which every pixel passes
// `isFrame`: the place {x, y} of the box's first pixel, or null. The outermost frame wins,
// the first in reading order: pixels of the box's own edges may pass too.
export function findFramed(picture, isFrame, width, height) {
  const framed = (x0, y0) => {
    for (let x = x0 - 1; x <= x0 + width; x++) {
      if (!isFrame(picture.at(x, y0 - 1)) || !isFrame(picture.at(x, y0 + height))) return false;
    }
    for (let y = y0; y < y0 + height; y++) {
      if (!isFrame(picture.at(x0 - 1, y)) || !isFrame(picture.at(x0 + width, y))) return false;
    }
    return true;
  };
  for (let y = 1; y + height < picture.height; y++) {
    for (let x = 1; x + width < picture.width; x++) {
      if (framed(x, y)) return { x, y };
    }
  }
  return null;
}
