// Shared pieces of the browser tests: the site, the native tools, pages,
// prompts, pictures and a small check runner.
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const {launch} = require('./browser.js');

const ROOT = path.resolve(__dirname, '..', '..');
const BIN = process.env.LESSONKIT_BIN || path.join(ROOT, 'build');
const SITE = process.env.LESSONKIT_SITE || path.join(ROOT, 'build-web', 'site');
const WORK = fs.mkdtempSync(path.join(os.tmpdir(), 'lessonkit-web-'));

// Long ceilings: reached only when something is really wrong.
const LONG = 120000;

// The tours every engine runs: both programs, two practice problems per
// drill, seed 7.
const PROGRAMS = ['applylesson', 'solvelesson'];
// The tours that must give the desktop's trace: the practice program's too
// (every set, a hint and a wrong answer at each set's first problem).
const TOURED = [...PROGRAMS, 'practicelesson'];
// Numbers of a page's trace within this of the desktop's (Chromium, Firefox
// ESR and WebKitGTK 2.50 all stay within 0.00003).
const TRACE_TOLERANCE = 0.001;
const PROBLEMS = 2;
const SEED = 7;

// How far the browser's picture of an item may be from the desktop's, as
// pngcompare measures it: the mean difference per channel (0-255) of the
// worst 32 x 32 tile, counting differences that hold across 3 x 3 pixels.
// The browsers and cairo draw the anti-aliased edges of glyphs a little
// differently, which that leaves out (about 0.1 at most); a wrong font, a
// missing glyph or a shift by one layout unit each give well over 1
// (run.js checks that). The plain mean difference stays under 2.5.
const PICTURE_TILE = 1.0;
const PICTURE_MAD = 2.5;

// A program's page with the test probes (window.lkTest) and `query`.
function fileUrl(program, query = '') {
  return 'file://' + path.join(SITE, program + '.html') + '?test=1' + (query ? '&' + query : '');
}

// A static server for the site (or another folder, `root`) on the loopback
// address, with the validators and revalidation (304) that any web server
// gives, so that a browser may keep what it compiled of a file.
function serve(root = SITE) {
  const types = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.woff2': 'font/woff2',
                 '.css': 'text/css', '.woff': 'font/woff', '.ttf': 'font/ttf',
                 '.wasm': 'application/wasm',
                 '.webmanifest': 'application/manifest+json', '.png': 'image/png'};
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404);
      res.end();
      return;
    }
    const stat = fs.statSync(file);
    const tag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}"`;
    const headers = {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                     'ETag': tag, 'Last-Modified': stat.mtime.toUTCString(), 'Cache-Control': 'no-cache'};
    if (req.headers['if-none-match'] === tag) {
      res.writeHead(304, headers);
      res.end();
      return;
    }
    res.writeHead(200, headers);
    fs.createReadStream(file).pipe(res);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Chromium runs a page's main thread `rate` times slower (the DevTools
// protocol's CPU throttling, as a slow tablet), from the page's next
// navigation on, until set back to 1. The throttled renderer keeps about
// three quarters of a core busy even while its page idles, so a page
// should be throttled only while it is measured.
async function throttle(page, rate) {
  if (!page.lkThrottle) {
    if (rate === 1) return;
    page.lkThrottle = await page.createCDPSession();
  }
  await page.lkThrottle.send('Emulation.setCPUThrottlingRate', {rate});
}

async function openPage(browser, url, viewport = {width: 1366, height: 720, deviceScaleFactor: 1}, rate = 1) {
  const page = await browser.newPage();
  await throttle(page, rate);
  const errors = [];
  page.on('pageerror', e => errors.push(e.message));
  page.on('console', m => { if (m.type() === 'error') errors.push(m.text()); });
  page.lkErrors = errors;
  await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForFunction(() => window.lkTest && window.lkTest.paints > 0, {timeout: LONG});
  return page;
}

// Waits until the program itself has drawn its first picture (a page opened
// with ?test=1; the first screen the page draws before the program starts
// does not count) at the page's size.
async function programDrawn(page) {
  await page.waitForFunction(() => {
    const canvas = document.getElementById('lesson');
    return window.lkTest && window.lkTest.paints > 0 &&
           canvas.width === Math.round(canvas.clientWidth * (devicePixelRatio || 1));
  }, {timeout: LONG, polling: 50});
}

// Waits for a full tour in the page to end. A page error ends the wait at
// once, and so does a tour that has drawn nothing new for STALL ms (on a
// busy machine a tour is slow, never still): the message says where it
// stopped, rather than the wait running into the test's own time limit.
const STALL = 180000;
async function tourDone(page, errors = async () => page.lkErrors || []) {
  let last = null, since = Date.now();
  for (;;) {
    const state = await page.evaluate(() => {
      const t = window.lkTest;
      return {done: !!t.tourDone, items: t.itemPictures.length, paints: t.paints,
              errors: window.lkTestErrors || [], idle: t.idle, hidden: document.hidden,
              last: t.trace.slice(-2).map(String).join(' | ').slice(0, 300)};
    });
    if (state.done) return;
    const seen = [...state.errors, ...await errors()];
    if (seen.length) throw new Error(`page errors during the tour (item ${state.items}): ${seen.join('; ')}`);
    const now = `${state.items}/${state.paints}`;
    if (now !== last) {
      last = now;
      since = Date.now();
    } else if (Date.now() - since > STALL) {
      throw new Error(`the tour stopped at item ${state.items + 1} (${state.paints} paints): nothing new for ` +
                      `${STALL / 1000} s (idle ${state.idle}, hidden ${state.hidden}; last drawn: ${state.last})`);
    }
    await new Promise(resolve => setTimeout(resolve, 500));
  }
}

// Waits until the program waits at a prompt announced after `after`
// (a count of announcements) and has drawn it; returns the prompt.
async function nextPrompt(page, after) {
  await page.waitForFunction(n => {
    const t = window.lkTest;
    return t.endedAt > 0 || (t.prompts > n && t.prompt.kind !== 'none' && t.idle);
  }, {timeout: LONG, polling: 5}, after);
  return page.evaluate(() => ({prompt: window.lkTest.prompt, count: window.lkTest.prompts,
                               ended: window.lkTest.endedAt > 0}));
}

// The layout area of the page's canvas as a PNG file.
async function grab(page, file) {
  const data = await page.evaluate(() => {
    const t = window.lkTest;
    const v = t.view;
    const copy = document.createElement('canvas');
    copy.width = v.w;
    copy.height = v.h;
    copy.getContext('2d').drawImage(t.canvas, v.x, v.y, v.w, v.h, 0, 0, v.w, v.h);
    return copy.toDataURL('image/png');
  });
  fs.writeFileSync(file, Buffer.from(data.split(',')[1], 'base64'));
  return file;
}

function savePicture(dataUrl, file) {
  fs.writeFileSync(file, Buffer.from(dataUrl.split(',')[1], 'base64'));
  return file;
}

function tool(name, args) {
  return execFileSync(path.join(BIN, name), args, {encoding: 'utf8', maxBuffer: 1 << 28});
}

// How two pictures differ, over the first one's size, the second read from
// (dx, dy): {mad, tile} as pngcompare's diff tells them.
function compare(a, b, dx = 0, dy = 0) {
  const [w, h] = tool('pngcompare', ['size', a]).trim().split(' ').map(Number);
  const out = tool('pngcompare', ['diff', b, String(dx), String(dy), String(w - dx), String(h - dy), a])
    .trim().split(' ');
  return {mad: Number(out[1]), tile: Number(out[3])};
}
function mad(a, b, dx = 0, dy = 0) { return compare(a, b, dx, dy).mad; }

function similar(a, b, dx = 0, dy = 0) {
  const d = compare(a, b, dx, dy);
  return {...d, ok: d.tile < PICTURE_TILE && d.mad < PICTURE_MAD};
}

// Two JSON values equal but for numbers, which may differ by `tolerance`;
// `worst` (an object) keeps the largest difference seen.
function numbersClose(a, b, tolerance, worst = {diff: 0}) {
  if (a === b) return true;
  if (typeof a === 'number' && typeof b === 'number') {
    const d = Math.abs(a - b);
    worst.diff = Math.max(worst.diff, d);
    return d <= tolerance;
  }
  if (Array.isArray(a) && Array.isArray(b))
    return a.length === b.length && a.every((x, i) => numbersClose(x, b[i], tolerance, worst));
  if (a && b && typeof a === 'object' && typeof b === 'object') {
    const ka = Object.keys(a), kb = Object.keys(b);
    return ka.length === kb.length && ka.every((k, i) => k === kb[i] && numbersClose(a[k], b[k], tolerance, worst));
  }
  return false;
}

// The program's tour (PROBLEMS, SEED) run natively into `dir`: its trace in
// native.jsonl, the last picture of each item (at `scale`) in native/.
function nativeTour(program, dir, scale = 1) {
  const native = path.join(dir, 'native');
  fs.rmSync(native, {recursive: true, force: true});
  fs.mkdirSync(native, {recursive: true});
  tool('lessonreplay', [program, '--tour', String(PROBLEMS), '--seed', String(SEED), '--trace',
                        path.join(dir, 'native.jsonl'), '--pages', 'final', '--png', native,
                        '--scale', String(scale)]);
}

// The page's trace (lines) against the native one, line for line, numbers
// within `tolerance`; gives the number of lines and the largest difference.
function checkTrace(web, dir, tolerance) {
  const native = fs.readFileSync(path.join(dir, 'native.jsonl'), 'utf8').trimEnd().split('\n');
  expect(web.length === native.length, `${web.length} lines in the page, ${native.length} natively`);
  const worst = {diff: 0};
  for (let i = 0; i < native.length; ++i)
    expect(numbersClose(JSON.parse(web[i]), JSON.parse(native[i]), tolerance, worst),
           `line ${i + 1} differs:\n  page:   ${web[i]}\n  native: ${native[i]}`);
  return {lines: native.length, worst: worst.diff};
}

// The page's item pictures (data URLs) against the native ones in
// dir/native, those of `items` (indices; all when not given); gives the
// largest differences.
function checkPictures(pictures, dir, items) {
  const natives = fs.readdirSync(path.join(dir, 'native')).sort();
  expect(pictures.length === natives.length,
         `${pictures.length} item pictures in the page, ${natives.length} natively`);
  let tile = 0, mean = 0;
  const differ = [];
  for (const i of items || pictures.keys()) {
    const web = savePicture(pictures[i], path.join(dir, `web-${i + 1}.png`));
    const d = similar(web, path.join(dir, 'native', natives[i]));
    tile = Math.max(tile, d.tile);
    mean = Math.max(mean, d.mad);
    if (!d.ok) differ.push(`${i + 1}: ${JSON.stringify(d)}`);
  }
  expect(differ.length === 0, `item pictures differ: ${differ.join('; ')}`);
  return {tile, mean};
}

// `count` indices spread evenly over 0 .. n - 1, first and last included.
function spread(n, count) {
  if (n <= count) return [...Array(n).keys()];
  return [...new Set([...Array(count).keys()].map(k => Math.round(k * (n - 1) / (count - 1))))];
}

// Keys pressed one after the other, then the next prompt; gives a function
// that does this and keeps count of the prompts seen.
function presser(page, seen) {
  const press = async (...keys) => {
    for (const k of keys) await page.keyboard.press(k);
    const next = await nextPrompt(page, press.seen);
    press.seen = next.count;
    return next.prompt;
  };
  press.seen = seen;
  return press;
}

// solvelesson (seed 3), topic 2, item 3, in a page just opened at scale 1:
// three steps on and one back (Left arrow) show the step before exactly,
// and the desktop's picture of it. Gives the presser and the keys typed.
async function checkStepBack(page, dir) {
  const press = presser(page, (await nextPrompt(page, 0)).count);
  await page.keyboard.type('2');
  await press('Enter');
  await page.keyboard.type('3');
  await press('Enter');
  await press(' ');
  await press(' ');
  const before = await grab(page, path.join(dir, 'before.png'));
  await press(' ');
  await press('ArrowLeft');
  const after = await grab(page, path.join(dir, 'after.png'));
  expect(mad(after, before) < 0.01, 'a step back does not show the step before');
  const keys = '2\\r3\\r  ';
  const native = nativePicture('solvelesson', keys, 1, path.join(dir, 'native'), ['--seed', '3']);
  const d = similar(after, native);
  expect(d.ok, `the step back differs from the desktop: ${JSON.stringify(d)}`);
  return {press, keys};
}

// The layout area's pixel (x, y) on the page's canvas, as RRGGBB.
function canvasPixel(page, x, y) {
  return page.evaluate((x, y) => {
    const m = window.lkTest, v = m.view;
    const p = m.canvas.getContext('2d').getImageData(Math.round(v.x + x * v.scale), Math.round(v.y + y * v.scale), 1, 1).data;
    return [p[0], p[1], p[2]].map(c => c.toString(16).padStart(2, '0')).join('').toUpperCase();
  }, x, y);
}

// F2 turns the projector colours on and off: the paper becomes the
// projector palette's colour 15, as the desktop draws it, and back.
async function checkProjector(page, dir) {
  const paper = which => tool('pngcompare', ['palette', '15', which]).trim();
  const ground = () => canvasPixel(page, 1300, 300);
  expect(await ground() === paper('original'), `the paper is ${await ground()} before F2`);
  await page.keyboard.press('F2');
  await page.waitForFunction((x, y, want) => {
    const m = window.lkTest, v = m.view;
    const p = m.canvas.getContext('2d').getImageData(Math.round(v.x + x * v.scale), Math.round(v.y + y * v.scale), 1, 1).data;
    return m.idle && [p[0], p[1], p[2]].map(c => c.toString(16).padStart(2, '0')).join('').toUpperCase() === want;
  }, {timeout: LONG}, 1300, 300, paper('projector'));
  const projector = await grab(page, path.join(dir, 'projector.png'));
  const got = tool('pngcompare', ['pixel', projector, '1300', '300']).trim();
  expect(got === paper('projector'), `paper is ${got}, not the projector's ${paper('projector')}`);
  await page.keyboard.press('F2');
  await page.waitForFunction(() => window.lkTest.idle, {timeout: LONG});
}

// The native picture of every step of a key script, the last one's path.
function nativePicture(program, keys, scale, dir, extra = []) {
  fs.rmSync(dir, {recursive: true, force: true});
  tool('lessonreplay', [program, '--keys', keys, '--png', dir, '--scale', String(scale), ...extra]);
  const files = fs.readdirSync(dir).sort();
  return path.join(dir, files[files.length - 1]);
}

// What a Japanese input method may send although nothing editable has focus:
// keys as "Process" while composing, the committing Enter, compositionend,
// and (as WebKit does) the Enter once more. The practice program must read
// the keys by their place on the keyboard and answer once: set 3 chosen on
// the menu, its answer typed, and the verdict waits (the second Enter would
// have gone on to the next problem).
async function checkInputMethod(page) {
  let {prompt, count} = await nextPrompt(page, 0);
  expect(prompt.kind === 'menu', `the practice program did not start at its menu (${prompt.kind})`);
  const codeOf = ch => ch === '-' ? 'Minus' : ch === '/' ? 'Slash' : ch === '.' ? 'Period' : 'Digit' + ch;
  const composed = text => [...[...text].map(ch => ({key: 'Process', code: codeOf(ch), composing: true})),
                            {key: 'Process', code: 'Enter', composing: true},
                            {type: 'compositionend', data: text}, {key: 'Enter', code: 'Enter'}];
  const send = events => page.evaluate(list => {
    for (const e of list) {
      if (e.type === 'compositionend') window.dispatchEvent(new CompositionEvent('compositionend', {data: e.data}));
      else window.dispatchEvent(new KeyboardEvent('keydown', {key: e.key, code: e.code, isComposing: !!e.composing,
                                                             bubbles: true, cancelable: true}));
    }
  }, events);
  await send(composed('3'));
  ({prompt, count} = await nextPrompt(page, count));
  expect(prompt.kind === 'answer', `the composed "3" and Enter led to ${prompt.kind}, not a problem`);
  const expected = String(prompt.expected);
  await send(composed(expected));
  ({prompt, count} = await nextPrompt(page, count));
  expect(prompt.kind === 'verdict', `the composed answer ${expected} led to ${prompt.kind}, not one verdict`);
  return expected;
}

// A teacher's request in the practice page's address, after "#": a good one
// starts 今日の問題, whose words and headers the program draws (the page's
// trace of the canvas: what the student reads), two problems answered and
// then the menu saying they are done; a malformed one, garbage and an
// unknown version are each said on the menu, which opens as usual. `open`
// opens an address (each a different query, so that no two differ only in
// the fragment), `errorsOf` a page's errors.
const REQUEST_REFUSED = '先生からの問題の指定を読めません。';
async function checkRequest(open, errorsOf, base = fileUrl('practicelesson', 'trace=1')) {
  // The canvas's texts in the order drawn; the plain text's full-width
  // digits, small letters and hyphen read as ASCII.
  const drawn = async page => (await page.evaluate(() => window.lkTest.trace.map(line => JSON.parse(line))
    .filter(op => op.op === 'draw_text').map(op => op.text).join('')))
    .replace(/[\uFF10-\uFF19\uFF41-\uFF5A\uFF0D]/g, ch => String.fromCharCode(ch.charCodeAt(0) - 0xFEE0));
  const done = async page => {
    const errors = await errorsOf(page);
    expect(errors.length === 0, 'page errors: ' + errors.join('; '));
    await page.close();
  };
  let page = await open(base + '&seed=5#v1;s=solve-x-plus-b,apply-ratio-whole;n=2');
  let {prompt, count} = await nextPrompt(page, 0);
  expect(prompt.kind === 'verdict', `a good request started at ${prompt.kind}, not 今日の問題`);
  let text = await drawn(page);
  for (const words of ['先生からの今日の問題：', '比例式（答えが整数）', '2問'])
    expect(text.includes(words), `the request's words "${words}" are not on the canvas: ${text}`);
  for (let turn = 1; turn <= 2; ++turn) {
    await page.keyboard.press('Enter');
    ({prompt, count} = await nextPrompt(page, count));
    expect(prompt.kind === 'answer', `今日の問題 ${turn}: ${prompt.kind}, not a problem`);
    text = await drawn(page);
    expect(text.includes(`今日の問題　${turn}／2`), `no header 今日の問題　${turn}／2 on the canvas`);
    await page.keyboard.type(String(prompt.expected));
    await page.keyboard.press('Enter');
    ({prompt, count} = await nextPrompt(page, count));
    expect(prompt.kind === 'verdict', `今日の問題 ${turn}: the right answer led to ${prompt.kind}`);
  }
  await page.keyboard.press('Enter');
  ({prompt, count} = await nextPrompt(page, count));
  expect(prompt.kind === 'menu', `after 今日の問題: ${prompt.kind}, not the menu`);
  text = await drawn(page);
  expect(text.includes('今日の問題が終わりました。2問中2問正解でした。'), 'the menu does not say 今日の問題 is done');
  const entries = prompt.choices.length;
  await done(page);

  const refused = [['v1;s=solve-nothing;n=abc', '知らない練習セット「solve-nothing」'],
                   ['%E4%BB%8A%E6%97%A5!', '版の番号'],
                   ['v2;s=mixed;n=3', '版「v2」はこのプログラムが知らない版です']];
  let seed = 6;
  for (const [fragment, said] of refused) {
    page = await open(`${base}&seed=${seed++}#${fragment}`);
    ({prompt} = await nextPrompt(page, 0));
    expect(prompt.kind === 'menu', `#${fragment}: ${prompt.kind}, not the menu`);
    expect(prompt.choices.length === entries - 1, `#${fragment}: ${prompt.choices.length} menu entries`);
    text = await drawn(page);
    expect(text.includes(REQUEST_REFUSED) && text.includes(said), `#${fragment} is not said on the menu: ${text}`);
    expect(!text.includes('今日の問題'), `#${fragment} offers 今日の問題`);
    await done(page);
  }
}

let failures = 0;
let passes = 0;
let filter = null;
// Runs only the checks whose names contain `text` (all when none is given).
function only(text) { filter = text || null; }
async function check(name, fn) {
  if (filter && !name.includes(filter)) return;
  const started = Date.now();
  try {
    await fn();
    passes += 1;
    console.log(`ok   ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (e) {
    failures += 1;
    console.log(`FAIL ${name}: ${e.stack || e}`);
  }
}
function expect(condition, message) {
  if (!condition) throw new Error(message);
}
function finish() {
  console.log(`${passes} passed, ${failures} failed`);
  if (process.env.LESSONKIT_WEB_KEEP) console.log('pictures kept in ' + WORK);
  else fs.rmSync(WORK, {recursive: true, force: true});
  process.exit(failures ? 1 : 0);
}

module.exports = {checkInputMethod, checkRequest, tourDone, ROOT, BIN, SITE, WORK, LONG, PROGRAMS, TOURED, TRACE_TOLERANCE, PROBLEMS, SEED, PICTURE_TILE, PICTURE_MAD,
                  launch, fileUrl, serve, throttle, openPage, programDrawn, nextPrompt, grab, savePicture, tool, compare, similar,
                  numbersClose, nativeTour, checkTrace, checkPictures, spread, presser, checkStepBack,
                  canvasPixel, checkProjector, only, mad, nativePicture, check, expect, finish};
