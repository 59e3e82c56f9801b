// Where the browser's sortie frame goes: skarvelin-sim (built for the browser) run in
// Debian's chromium, as bench/web.mjs runs it, under the DevTools protocol's sampling CPU
// profiler; prints the functions with the most self time and the time by group.
//
//   node bench/web_profile.mjs BUILD_WEB_DIR [--frames N] [--interval US] [--top N]
//                              [--root NAME] [--native NATIVE_SIM] [--json FILE]
//                              [--cpuprofile FILE]
//
// The WebAssembly's functions have their names only in a build linked with
// --profiling-funcs (same optimisation, the name section kept). Samples are counted twice:
// over the whole run, and over those whose stack holds the frame (--root, by default the
// sortie's game::Sortie::Frame(), which is what --bench times). When binaryen's wasm-dis is
// installed, each function is marked by whether ASYNCIFY instrumented it (it reads the
// asyncify state global), and each group's time split likewise. With --native, the desktop's
// skarvelin-sim runs the same frames under `perf record --call-graph dwarf` and its shares
// stand beside the page's (needs perf, and perf_event_paranoid <= 2). --json writes the
// functions' figures, --cpuprofile the page's profile as Chrome's DevTools load it.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { frameMean, launchChromium, runSim, startServer } from './sim_page.mjs';

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at > 0 ? process.argv[at + 1] : fallback;
}
const buildWeb = process.argv[2];
const frames = Number(option('--frames', '20000'));
const intervalUs = Number(option('--interval', '100'));
const top = Number(option('--top', '25'));
const root = option('--root', 'game::Sortie::Frame()');
const jsonOut = option('--json', null);
const nativeSim = option('--native', null);
const cpuprofileOut = option('--cpuprofile', null);
if (!buildWeb || buildWeb.startsWith('--') || !(frames > 0) || !(intervalUs > 0) || !(top > 0)) {
  console.error('usage: node bench/web_profile.mjs BUILD_WEB_DIR [--frames N] [--interval US] ' +
                '[--top N] [--root NAME] [--native NATIVE_SIM] [--json FILE] [--cpuprofile FILE]');
  process.exit(2);
}
const SIM_ARGS = `--frames ${frames} --seed 7 --bench`;

// The names (as the name section has them) of the functions ASYNCIFY instrumented: those
// that read the global asyncify_start_unwind sets. Null when wasm-dis is not there.
function instrumentedFunctions(wasmFile) {
  const wat = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'web-profile-')), 'sim.wat');
  try {
    execFileSync('wasm-dis', [wasmFile, '-o', wat], { stdio: ['ignore', 'ignore', 'pipe'] });
  } catch {
    return null;
  }
  const text = fs.readFileSync(wat, 'utf8');
  fs.rmSync(path.dirname(wat), { recursive: true });
  const unescape = (name) => name.replace(/\\([0-9a-f]{2})/g,
                                          (_, hex) => String.fromCharCode(parseInt(hex, 16)));
  const state = /\(func \$asyncify_start_unwind[^\n]*\n\s*\(global\.set (\$\S+)/.exec(text);
  if (!state) return null;
  const reads = `(global.get ${state[1]})`;
  const instrumented = new Set();
  const all = new Set();
  // Each function starts at a line " (func $NAME" and runs to the next one.
  const starts = [...text.matchAll(/^ \(func \$(\S+)/gm)];
  for (let i = 0; i < starts.length; i++) {
    const name = unescape(starts[i][1]);
    all.add(name);
    const body = text.slice(starts[i].index, i + 1 < starts.length ? starts[i + 1].index
                                                                  : text.length);
    if (body.includes(reads)) instrumented.add(name);
  }
  return { instrumented, all };
}

// The groups, by function name (and, natively, by library).
const startingWith = (prefixes) => new RegExp(`^(${prefixes.join('|')})`);
const TEXT = startingWith(['TTF_', 'FT_', 'ft_', 'hb_', '_hb_', 'OT::', 'AAT::', 'CFF::', 'tt_',
  'TT_', 'af_', 'ps_', 'cff_', 'sfnt_', 'T1_', 't1_', 'psh_', 'FTC_', 'Render_Single_Pass', 'gray_',
  'position_cluster', 'platform::SdlTextRasterizer', 'platform::draw_text_line',
  'platform::text_width', 'platform::wrap_text', 'platform::line_height', 'platform::blend_mask']);
const TEXT_LIBRARY = /libharfbuzz|libfreetype|libSDL2_ttf|libgraphite/;
const ALLOCATION = startingWith(['dlmalloc', 'dlfree', 'dlrealloc', 'dlcalloc', 'malloc', 'free',
  'realloc', 'calloc', 'internal_memalign', 'sbrk', 'emscripten_builtin_', 'operator new',
  'operator delete', 'tmalloc', 'prepend_alloc', 'dispose_chunk', 'try_realloc_chunk',
  'release_unused_segments', 'init_top', '_int_malloc', '_int_free', '_int_realloc', 'cfree',
  '__libc_(malloc|calloc|free|realloc)', 'unlink_chunk', 'malloc_consolidate', 'tcache_',
  'SDL_malloc', 'SDL_free', 'SDL_calloc']);
const MEMOPS = /^_*(memcpy|memset|memmove|memcmp|bcmp|emscripten_memcpy_big)/;
const GAME = 'game:: (rules)', ENGINE = 'nox:: (engine)', RASTER = 'platform:: (raster, bitmap)',
  TEXT_GROUP = 'text', ALLOC_GROUP = 'memory: allocation',
  MEMOPS_GROUP = 'memory: memcpy/memset/memcmp', ASYNCIFY = 'ASYNCIFY machinery',
  STD = 'std:: library', OTHER = 'other code (SDL, libc, app)',
  JS = 'JS glue (exceptions\' invoke_*, timers)', IDLE = 'idle, GC, program; kernel, loader';
const GROUPS = [GAME, ENGINE, RASTER, TEXT_GROUP, ALLOC_GROUP, MEMOPS_GROUP, ASYNCIFY, STD, OTHER,
  JS, IDLE];

function groupOf(fn) {
  const { name, wasm, dso } = fn;
  if (dso !== undefined) {
    if (/kernel|ld-linux|vdso/.test(dso)) return IDLE;
    if (TEXT_LIBRARY.test(dso)) return TEXT_GROUP;
  } else if (!wasm) {
    if (/^\((idle|program|garbage collector|root)\)$/.test(name)) return IDLE;
    // Emscripten's wrappers of the exports (ret.<computed>) keep ASYNCIFY's export stack.
    if (/[Aa]syncify|handleSleep|maybeStopUnwind|whenDone|instrumentWasm|handleAsync|^ret\./
      .test(name)) {
      return ASYNCIFY;
    }
    return JS;
  }
  if (/^asyncify_|^emscripten_sleep|^emscripten_has_asyncify/.test(name)) return ASYNCIFY;
  if (TEXT.test(name)) return TEXT_GROUP;
  if (name.startsWith('game::')) return GAME;
  if (name.startsWith('nox::')) return ENGINE;
  if (name.startsWith('platform::')) return RASTER;
  if (ALLOCATION.test(name)) return ALLOC_GROUP;
  if (MEMOPS.test(name)) return MEMOPS_GROUP;
  if (name.startsWith('std::')) return STD;
  return OTHER;
}

// A C++ name without its parameter list, as perf prints names.
function bareName(name) {
  const kept = name.replace(/\(anonymous namespace\)/g, '\u0001');
  const cut = kept.indexOf('(');
  return (cut > 0 ? kept.slice(0, cut) : kept).replace(/\u0001/g, '(anonymous namespace)')
    .replace(/ const$/, '');
}

// Self time per profile node, from the samples and the time between them.
function selfTimes(profile) {
  const us = new Map();
  const { samples, timeDeltas } = profile;
  for (let i = 0; i < samples.length; i++) {
    // A sample's time runs to the next sample; the last one gets the mean.
    const next = i + 1 < timeDeltas.length ? timeDeltas[i + 1] : intervalUs;
    us.set(samples[i], (us.get(samples[i]) || 0) + next);
  }
  return us;
}

function analyse(profile, instr) {
  const byId = new Map(profile.nodes.map((n) => [n.id, n]));
  const parent = new Map();
  for (const n of profile.nodes) for (const c of n.children || []) parent.set(c, n.id);
  const isWasm = (n) => /\.wasm($|\?)|^wasm:/.test(n.callFrame.url);
  // V8 gives a WebAssembly function its name-section name, or "$func123" without one.
  const nameOf = (n) => (isWasm(n) ? n.callFrame.functionName.replace(/^\$/, '')
                                    : n.callFrame.functionName || '(anonymous)');
  const underRoot = new Map();
  const inRoot = (id) => {
    if (underRoot.has(id)) return underRoot.get(id);
    const n = byId.get(id);
    const yes = nameOf(n) === root || (parent.has(id) && inRoot(parent.get(id)));
    underRoot.set(id, yes);
    return yes;
  };
  const fns = new Map();
  let total = 0, rootTotal = 0;
  for (const [id, us] of selfTimes(profile)) {
    const n = byId.get(id);
    const wasm = isWasm(n);
    const name = nameOf(n);
    const key = `${wasm ? 'w' : 'j'}:${name}`;
    if (!fns.has(key)) {
      fns.set(key, {
        name, wasm, all: 0, frame: 0,
        instrumented: wasm && instr ? instr.instrumented.has(name) : null,
      });
    }
    const f = fns.get(key);
    f.all += us;
    total += us;
    if (inRoot(id)) {
      f.frame += us;
      rootTotal += us;
    }
  }
  // The WebAssembly functions the root calls, through the script between (the exceptions'
  // invoke_* wrappers call back through the dynCall_* exports). Natively a call in tail
  // position leaves the root off the stack (game::Sortie::Frame() ends by jumping to
  // PrintFrameCt), so what lies below these counts as under it there.
  const callees = new Set();
  const glue = (n) => !isWasm(n) || /^(legalstub\$)?dynCall_/.test(nameOf(n));
  const collect = (id) => {
    for (const c of byId.get(id).children || []) {
      if (glue(byId.get(c))) collect(c);
      else callees.add(nameOf(byId.get(c)));
    }
  };
  for (const n of profile.nodes) if (nameOf(n) === root) collect(n.id);
  return { fns: [...fns.values()], total, rootTotal, callees };
}

// The desktop's skarvelin-sim, the same frames under perf: self samples per function (the
// innermost frame of each sample, inlined ones included) over the whole run and under the
// root or the functions the page's profile shows the root calling; its frame mean from a run
// without perf.
function nativeProfile(sim, callees) {
  const mean = frameMean(execFileSync(sim, SIM_ARGS.split(' '), { encoding: 'utf8' }));
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'web-profile-perf-'));
  const data = path.join(dir, 'perf.data');
  try {
    execFileSync('perf', ['record', '-q', '-F', '4000', '--call-graph', 'dwarf,16384', '-o', data,
      sim, ...SIM_ARGS.split(' ')], { stdio: ['ignore', 'ignore', 'pipe'] });
    const script = execFileSync('perf', ['script', '-i', data, '-F', 'comm,ip,sym,dso'],
                                { encoding: 'utf8', maxBuffer: 1 << 30,
                                  stdio: ['ignore', 'pipe', 'ignore'] });
    const rootNames = new Set([root, ...callees].map(bareName));
    const fns = new Map();
    let total = 0, rootTotal = 0;
    for (const block of script.split(/\n\s*\n/)) {
      const frames = block.split('\n').slice(1).map((line) => {
        const found = /^\s*[0-9a-f]+ (.*?) \((inlined|.*)\)$/.exec(line);
        return found ? { sym: found[1], dso: found[2] } : null;
      }).filter(Boolean);
      if (frames.length === 0) continue;
      const leaf = frames[0];
      // An inlined leaf has no library of its own: the next real frame's.
      const dso = (frames.find((f) => f.dso !== 'inlined') || { dso: '' }).dso;
      const name = leaf.sym === '[unknown]' ? `[unknown] (${path.basename(dso)})`
                                            : leaf.sym.replace(/@.*$/, '');
      const key = `${name}|${dso}`;
      if (!fns.has(key)) fns.set(key, { name, dso, wasm: false, all: 0, frame: 0 });
      const f = fns.get(key);
      f.all += 1;
      total += 1;
      if (frames.some((fr) => rootNames.has(fr.sym))) {
        f.frame += 1;
        rootTotal += 1;
      }
    }
    return { fns: [...fns.values()], total, rootTotal, mean };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

const pct = (part, whole) => (whole > 0 ? (100 * part / whole).toFixed(1) : '0.0');
const ms = (us) => (us / 1000).toFixed(1);
const us1 = (v) => v.toFixed(1);
const mark = (f) => (!f.wasm ? '-' : f.instrumented === null ? '?'
                                    : f.instrumented ? 'yes' : 'no');
const cell = (text) => text.replace(/\|/g, '\\|');
const shortName = (name) => (name.length > 80 ? `${name.slice(0, 77)}...` : name);

const { server, base } = await startServer(buildWeb);
const browser = await launchChromium();
let result;
try {
  const page = await browser.newPage();
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: intervalUs });
  await cdp.send('Profiler.start');
  const text = await runSim(page, base, SIM_ARGS, 600000);
  const { profile } = await cdp.send('Profiler.stop');
  await page.close();
  result = { profile, mean: frameMean(text) };
  if (cpuprofileOut) fs.writeFileSync(cpuprofileOut, JSON.stringify(profile));
} finally {
  await browser.close();
  server.kill();
}

const instr = instrumentedFunctions(path.join(buildWeb, 'skarvelin-sim.wasm'));
const web = analyse(result.profile, instr);
const native = nativeSim ? nativeProfile(nativeSim, web.callees) : null;
const { fns, total, rootTotal } = web;
const wasmFns = fns.filter((f) => f.wasm);
if (wasmFns.filter((f) => !/^func\d+$/.test(f.name)).length < wasmFns.length / 2) {
  console.log('(few WebAssembly functions have names: link with --profiling-funcs)');
}
console.log(`\nskarvelin-sim ${SIM_ARGS}\n\npage (chromium): frame mean ${result.mean} us with ` +
            `the profiler on, sampled every ${intervalUs} us; ${ms(total)} ms sampled, ` +
            `${ms(rootTotal)} ms (${pct(rootTotal, total)} %) under ${root}`);
if (instr) {
  console.log(`ASYNCIFY instrumented ${instr.instrumented.size} of the WebAssembly's ` +
              `${instr.all.size} functions`);
}
if (native) {
  console.log(`desktop: frame mean ${native.mean} us without perf; perf took ${native.total} ` +
              `samples, ${native.rootTotal} (${pct(native.rootTotal, native.total)} %) under ` +
              `${bareName(root)} or what it calls directly (tail calls leave it off the stack)`);
}
// Per frame: a function's share of the root's samples times the run's frame mean.
const webUs = (v) => (rootTotal > 0 ? v / rootTotal * result.mean : 0);
const nativeUs = (v) => (native && native.rootTotal > 0 ? v / native.rootTotal * native.mean : 0);
const nativeByBareName = new Map();
if (native) {
  for (const f of native.fns) {
    nativeByBareName.set(f.name, (nativeByBareName.get(f.name) || 0) + f.frame);
  }
}

const sortedBy = (list, key) => list.filter((f) => f[key] > 0).sort((a, b) => b[key] - a[key]);
console.log(`\nPage: top ${top} by self time under ${root}\n\n| # | function | group | ` +
            `ASYNCIFY | self % | self ms | us/frame |${native ? ' desktop %, same name |' : ''}` +
            `\n| ---: | --- | --- | --- | ---: | ---: | ---: |${native ? ' ---: |' : ''}`);
sortedBy(fns, 'frame').slice(0, top).forEach((f, i) => {
  const same = native && f.wasm ? nativeByBareName.get(bareName(f.name)) : undefined;
  console.log(`| ${i + 1} | \`${cell(shortName(f.name))}\` | ${groupOf(f)} | ${mark(f)} | ` +
              `${pct(f.frame, rootTotal)} | ${ms(f.frame)} | ${us1(webUs(f.frame))} |` +
              (native ? ` ${same ? pct(same, native.rootTotal) : '-'} |` : ''));
});
if (native) {
  console.log(`\nDesktop: top ${top} by self time under ${bareName(root)}\n\n| # | function | ` +
              'library | group | self % | us/frame |\n| ---: | --- | --- | --- | ---: | ---: |');
  sortedBy(native.fns, 'frame').slice(0, top).forEach((f, i) => {
    console.log(`| ${i + 1} | \`${cell(shortName(f.name))}\` | ${path.basename(f.dso)} | ` +
                `${groupOf(f)} | ${pct(f.frame, native.rootTotal)} | ` +
                `${us1(nativeUs(f.frame))} |`);
  });
}

const rows = new Map(GROUPS.map((g) => [g, { all: 0, frame: 0, frameInstr: 0, native: 0 }]));
for (const f of fns) {
  const r = rows.get(groupOf(f));
  r.all += f.all;
  r.frame += f.frame;
  if (f.instrumented) r.frameInstr += f.frame;
}
if (native) for (const f of native.fns) rows.get(groupOf(f)).native += f.frame;
console.log(`\nBy group, under ${root}${native ? ', page beside desktop' : ''}\n\n` +
            '| group | page % | page us/frame | of it in ASYNCIFY-instrumented functions |' +
            (native ? ' desktop % | desktop us/frame | page - desktop us |' : '') +
            ' page, whole run % |\n| --- | ---: | ---: | ---: |' +
            (native ? ' ---: | ---: | ---: |' : '') + ' ---: |');
for (const [g, r] of [...rows].sort((a, b) => b[1].frame - a[1].frame || b[1].all - a[1].all)) {
  console.log(`| ${g} | ${pct(r.frame, rootTotal)} | ${us1(webUs(r.frame))} | ` +
              `${instr ? us1(webUs(r.frameInstr)) : '?'} |` +
              (native ? ` ${pct(r.native, native.rootTotal)} | ${us1(nativeUs(r.native))} | ` +
                        `${(webUs(r.frame) - nativeUs(r.native)).toFixed(1)} |` : '') +
              ` ${pct(r.all, total)} |`);
}
console.log(`| all | 100.0 | ${us1(result.mean)} | ${us1(webUs(
  [...rows.values()].reduce((a, r) => a + r.frameInstr, 0)))} |` +
  (native ? ` 100.0 | ${us1(native.mean)} | ${(result.mean - native.mean).toFixed(1)} |` : '') +
  ' 100.0 |');
if (jsonOut) {
  fs.writeFileSync(jsonOut, JSON.stringify({ args: SIM_ARGS, mean: result.mean, total, rootTotal,
    functions: sortedBy(fns, 'all'), native }, null, 1));
}
