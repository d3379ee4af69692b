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

// A program's page with the test probes (window.lkTest) and `query`.
function fileUrl(program, query = '') {
  return 'file://' + path.join(SITE, program + '.html') + '?test=1' + (query ? '&' + query : '');
}

// A static server for the site on the loopback address.
function serve() {
  const types = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.woff2': 'font/woff2'};
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(SITE, name === '/' ? 'index.html' : name);
    if (!file.startsWith(SITE) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(res);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function openPage(browser, url, viewport = {width: 1366, height: 720, deviceScaleFactor: 1}) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', e => errors.push(e.message));
  page.on('console', m => { if (m.type() === 'error') errors.push(m.text()); });
  page.lkErrors = errors;
  await page.setViewport(viewport);
  await page.goto(url);
  await page.waitForFunction(() => window.lkTest && window.lkTest.paints > 0, {timeout: LONG});
  return page;
}

// Whether a page without test probes (a teacher's address) drew its
// picture: the lesson's canvas has the page's size and is no longer blank.
async function pageDrawn(page) {
  await page.waitForFunction(() => {
    const canvas = document.getElementById('lesson');
    if (!canvas || canvas.width < 2 || canvas.width !== Math.round(canvas.clientWidth * (devicePixelRatio || 1)))
      return false;
    const p = canvas.getContext('2d').getImageData(canvas.width >> 1, 2, 1, 1).data;
    return p[0] + p[1] + p[2] > 0;
  }, {timeout: LONG, polling: 50});
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

// The native picture of every step of a key script, the last one's path.
function nativePicture(program, keys, scale, dir, extra = []) {
  fs.rmSync(dir, {recursive: true, force: true});
  tool('lessonreplay', [program, '--keys', keys, '--png', dir, '--scale', String(scale), ...extra]);
  const files = fs.readdirSync(dir).sort();
  return path.join(dir, files[files.length - 1]);
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

module.exports = {ROOT, BIN, SITE, WORK, LONG, launch, fileUrl, serve, openPage, pageDrawn, nextPrompt, grab,
                  savePicture, tool, compare, only, mad, nativePicture, check, expect, finish};
