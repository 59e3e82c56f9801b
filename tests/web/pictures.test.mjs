// The picture checks the browser suite relies on: node --test tests/web/pictures.test.mjs

import assert from 'node:assert/strict';
import path from 'node:path';
import { describe, it } from 'node:test';
import { fileURLToPath } from 'node:url';

import {
  BLACK,
  channelDelta,
  clusters,
  compare,
  describeClusters,
  countColour,
  countDiffering,
  cutSprite,
  findFramed,
  findSprite,
  Picture,
  TEAL,
} from './pictures.mjs';

const GOLDEN = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', 'data', 'golden');

function filled(width, height, colour) {
  const p = new Picture(width, height);
  for (let y = 0; y < height; y++) for (let x = 0; x < width; x++) p.set(x, y, colour);
  return p;
}

function copy(p) {
  return new Picture(p.width, p.height, Buffer.from(p.rgba));
}

describe('comparing a screenshot with a reference', () => {
  const reference = Picture.load(path.join(GOLDEN, 'screen-frmmain-loaded.png'));

  it('holds for the same picture after a trip through PNG', () => {
    const result = compare(Picture.fromPng(reference.toPng()), reference);
    assert.ok(result.same);
    assert.equal(result.differ, 0);
    assert.match(result.summary, /^0 of 549 x 349 pixels differ$/);
  });

  it('names how many pixels differ, where, and the first with both colours', () => {
    const shot = copy(reference);
    shot.set(100, 200, 0x123456);
    shot.set(101, 201, 0x123456);
    shot.set(400, 20, 0xabcdef);
    const result = compare(shot, reference);
    assert.ok(!result.same);
    assert.equal(result.differ, 3);
    assert.deepEqual(
      result.boxes.map((b) => [b.count, b.left, b.right, b.top, b.bottom]).sort((a, b) => a[1] - b[1]),
      [[2, 100, 101, 200, 201], [1, 400, 400, 20, 20]],
    );
    assert.match(result.summary, /the first at \(400,20\): reference [0-9A-F]{6}, screen ABCDEF; at most \d+ apart in a channel$/);
    assert.equal(result.largest, Math.max(...[[100, 200, 0x123456], [400, 20, 0xabcdef]].map(([x, y, c]) => channelDelta(reference.at(x, y), c))));
  });

  it('tells a smaller or missing picture apart instead of reading past its edge', () => {
    const small = filled(10, 10, BLACK);
    const result = compare(small, filled(12, 10, BLACK));
    assert.equal(result.differ, 20);
    assert.match(result.summary, /screen outside/);
  });

  it('tolerates a few pixels a shade off inside text areas only', () => {
    const areas = [{ x: 50, y: 50, w: 20, h: 10 }, { x: 200, y: 100, w: 10, h: 10 }];
    const shade = (p, x, y, by) => {
      const c = reference.at(x, y);
      p.set(x, y, (Math.min(0xff, (c >> 16) + by) << 16) | (c & 0xffff));
    };
    const shot = copy(reference);
    for (const x of [51, 55, 60]) shade(shot, x, 55, 2);
    shade(shot, 205, 105, 1);
    const within = compare(shot, reference, { textAreas: areas, textMost: 3 });
    assert.ok(within.same, within.summary);
    assert.equal(within.tolerated, 4);
    assert.match(within.summary, /^4 of .*, all a shade off in the text$/);

    const many = copy(shot);
    shade(many, 61, 55, 1);
    assert.ok(!compare(many, reference, { textAreas: areas, textMost: 3 }).same, 'one more than allowed in an area');

    const strong = copy(reference);
    shade(strong, 52, 52, 3);
    assert.ok(!compare(strong, reference, { textAreas: areas }).same, 'more than a shade off');

    const outside = copy(reference);
    shade(outside, 49, 55, 1);
    assert.ok(!compare(outside, reference, { textAreas: areas }).same, 'just left of the area');

    // A JPEG picture's area takes any number of pixels a decoder's rounding apart, no more.
    const pictures = [{ x: 100, y: 100, w: 50, h: 40 }];
    const rounded = copy(reference);
    for (let x = 100; x < 150; x++) shade(rounded, x, 120, 2);
    const decoded = compare(rounded, reference, { pictureAreas: pictures });
    assert.ok(decoded.same, decoded.summary);
    assert.equal(decoded.rounded, 50);
    const far = copy(rounded);
    shade(far, 120, 110, 3);
    assert.ok(!compare(far, reference, { pictureAreas: pictures }).same, 'more than rounding apart');
    const beside = copy(reference);
    shade(beside, 150, 120, 1);
    assert.ok(!compare(beside, reference, { pictureAreas: pictures }).same, 'just right of the picture');
  });

  it('counts the backdrop apart only where a rounded window may be cut away', () => {
    const backdrop = 0xff00ff;
    const shot = copy(reference);
    for (let i = 0; i < 20; i++) shot.set(i, 0, backdrop); // the top-left corner
    shot.set(300, 1, backdrop); // the band along the top edge
    const rounded = compare(shot, reference, { backdrop });
    assert.ok(rounded.same);
    assert.equal(rounded.cut, 21);

    shot.set(274, 174, backdrop); // the middle: a hole, not the shape
    const holed = compare(shot, reference, { backdrop });
    assert.ok(!holed.same);
    assert.equal(holed.differ, 1);
    assert.ok(!compare(shot, reference).same, 'without a backdrop every pixel counts');
  });
});

describe('telling colours apart', () => {
  it('measures the largest difference of a channel, and a pixel off the picture as the most', () => {
    assert.equal(channelDelta(0x102030, 0x102030), 0);
    assert.equal(channelDelta(0x102030, 0x0f2132), 2);
    assert.equal(channelDelta(0xff0000, 0x000000), 255);
    assert.equal(channelDelta(-1, 0x000000), 255);
  });
});

describe('grouping differences', () => {
  it('joins pixels in touching cells and keeps far ones apart, largest group first', () => {
    const boxes = clusters([[0, 0], [5, 0], [100, 100], [20, 0], [12, 0]]);
    assert.deepEqual(boxes.map((b) => [b.count, b.left, b.right, b.top, b.bottom]), [
      [4, 0, 20, 0, 0],
      [1, 100, 100, 100, 100],
    ]);
    assert.equal(clusters([[0, 0], [30, 0]]).length, 2, 'two cells apart');
  });

  it('keeps a line along the picture\'s edges apart from what lies inside', () => {
    const points = [];
    for (let y = 0; y < 349; y++) points.push([548, y]);
    for (let x = 0; x < 548; x++) points.push([x, 348]);
    points.push([200, 100], [201, 101]);
    const boxes = clusters(points);
    assert.equal(boxes.length, 2);
    assert.deepEqual([boxes[1].left, boxes[1].top, boxes[1].count], [200, 100, 2]);
    assert.match(describeClusters(boxes, 1), /^897 at x 0\.\.548, y 0\.\.348; 1 more groups$/);
  });
});

describe('counting pixels', () => {
  it('counts a colour in a rectangle, the part outside the picture included as none', () => {
    const p = filled(10, 10, BLACK);
    p.set(2, 3, TEAL);
    p.set(9, 9, TEAL);
    assert.equal(countColour(p, { x: 0, y: 0, w: 10, h: 10 }, TEAL), 2);
    assert.equal(countColour(p, { x: 3, y: 0, w: 7, h: 9 }, TEAL), 0);
    assert.equal(countColour(p, { x: 5, y: 5, w: 20, h: 20 }, TEAL), 1);
  });

  it('counts the pixels of one rectangle that differ from another place', () => {
    const a = filled(20, 10, BLACK), b = filled(30, 10, BLACK);
    a.set(1, 1, 0x0000ff);
    b.set(11, 1, 0x0000ff);
    assert.equal(countDiffering(a, { x: 0, y: 0, w: 5, h: 5 }, b, 10, 0), 0);
    assert.equal(countDiffering(a, { x: 0, y: 0, w: 5, h: 5 }, b, 0, 0), 1);
    // Three columns past b's edge, and the blue pixel over b's black.
    assert.equal(countDiffering(a, { x: 0, y: 0, w: 5, h: 5 }, b, 28, 0), 16);
  });
});

describe('finding the fighter', () => {
  const frame = Picture.load(path.join(GOLDEN, 'playfield-frame-25.png'));
  const sprite = cutSprite(frame, { x: 4, y: 126, w: 56, h: 36 });

  it('cuts the fighter alone: no black, no star, not the burst beside it', () => {
    assert.equal(sprite.length, 557);
    assert.ok(sprite.every((p) => p.colour !== BLACK && p.colour !== TEAL));
    assert.ok(sprite.every((p) => p.dx < 56 && p.dy < 36));
  });

  it('finds it where the reference frame has it and in the game window\'s picture', () => {
    const inFrame = findSprite(frame, { x: 0, y: 0, w: 512, h: 300 }, sprite);
    assert.deepEqual([inFrame.x, inFrame.y, inFrame.matched, inFrame.found], [4, 126, 557, true]);
    const window = Picture.load(path.join(GOLDEN, 'screen-frmmain-frame-25.png'));
    const inWindow = findSprite(window, { x: 19 - 8, y: 34 - 8, w: 520, h: 308 }, sprite);
    assert.deepEqual([inWindow.x - 8, inWindow.y - 8, inWindow.found], [4, 126, true]);
  });

  it('finds it moved, and not where it no longer is', () => {
    const field = filled(200, 120, BLACK);
    for (const p of sprite) field.set(70 + p.dx, 40 + p.dy, p.colour);
    const hit = findSprite(field, { x: 0, y: 0, w: 150, h: 80 }, sprite);
    assert.deepEqual([hit.x, hit.y, hit.found], [70, 40, true]);
    assert.ok(!findSprite(field, { x: 71, y: 40, w: 1, h: 1 }, sprite).found);
  });

  it('needs 95 % of its pixels: a fighter banking or half covered is not found', () => {
    const field = filled(100, 60, BLACK);
    const covered = Math.ceil(sprite.length * 0.06);
    sprite.forEach((p, i) => field.set(10 + p.dx, 10 + p.dy, i < covered ? 0xffffff : p.colour));
    const hit = findSprite(field, { x: 0, y: 0, w: 40, h: 20 }, sprite);
    assert.equal(hit.matched, sprite.length - covered);
    assert.ok(!hit.found);
  });

  it('gives up hopeless places without missing the best one', () => {
    // Two partial copies: the fuller one must win wherever it lies in the search order.
    const field = filled(200, 60, BLACK);
    sprite.forEach((p, i) => i % 2 === 0 && field.set(2 + p.dx, 5 + p.dy, p.colour));
    sprite.forEach((p, i) => i % 10 !== 0 && field.set(120 + p.dx, 15 + p.dy, p.colour));
    const hit = findSprite(field, { x: 0, y: 0, w: 150, h: 30 }, sprite);
    assert.deepEqual([hit.x, hit.y], [120, 15]);
    assert.equal(hit.matched, sprite.filter((_, i) => i % 10 !== 0).length);
  });

  it('refuses a reference box with no sprite in it', () => {
    assert.throws(() => cutSprite(frame, { x: 200, y: 280, w: 4, h: 4 }), /holds no sprite/);
  });
});

describe('finding the canvas in a larger screenshot', () => {
  const PAGE = 0x10141d, FRAME = 0xff00ff, BLEND = 0xa002a2;
  const isFrame = (c) => c === FRAME || c === BLEND;

  // A page with a w x h box at (x, y) in a frame; the box's own edge pixels `edge`.
  function page(x, y, w, h, { frame = FRAME, edge = 0x000000 } = {}) {
    const p = filled(w + 10, h + 10, PAGE);
    for (let py = y - 1; py <= y + h; py++) for (let px = x - 1; px <= x + w; px++) p.set(px, py, frame);
    for (let py = y; py < y + h; py++) for (let px = x; px < x + w; px++) p.set(px, py, edge);
    p.set(x + 5, y + 5, 0x123456);
    return p;
  }

  it('finds the box inside a frame, solid or blended with the page', () => {
    assert.deepEqual(findFramed(page(3, 4, 20, 10), isFrame, 20, 10), { x: 3, y: 4 });
    assert.deepEqual(findFramed(page(4, 3, 20, 10, { frame: BLEND }), isFrame, 20, 10), { x: 4, y: 3 });
    const cropped = page(3, 4, 20, 10).crop(3, 4, 20, 10);
    assert.equal(cropped.at(5, 5), 0x123456);
    assert.equal(cropped.at(0, 0), 0x000000);
  });

  it('takes the outermost frame when the box\'s own edges look like one', () => {
    // A rounded window: its edges are transparent and show the frame's colour.
    const p = page(3, 3, 20, 10, { edge: FRAME });
    assert.deepEqual(findFramed(p, isFrame, 20, 10), { x: 3, y: 3 });
  });

  it('finds nothing when a side of the frame is missing or the size is wrong', () => {
    const p = page(3, 3, 20, 10);
    assert.equal(findFramed(p, isFrame, 21, 10), null);
    for (let y = 2; y <= 13; y++) p.set(23, y, PAGE);
    assert.equal(findFramed(p, isFrame, 20, 10), null);
  });
});

describe('reading pictures', () => {
  it('says which file is not a PNG', () => {
    assert.throws(() => Picture.fromPng(Buffer.from('not a png'), 'the shot x.png'), /cannot read the shot x\.png as PNG/);
    assert.throws(() => Picture.load('/nonexistent/golden.png'), /cannot read \/nonexistent\/golden\.png: ENOENT/);
  });
});
