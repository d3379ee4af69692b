// The browser build in Debian's chromium: the same operations, the same
// pictures and the same behaviour as the desktop, from file:// and over
// http, its web app manifest, and the figures of the README's browser table.
// engines.js runs the tours, a step back, F2 and a tap in Firefox and
// WebKitGTK too; what stays here is Chromium's alone: the tablet emulation
// (isMobile, touch points, twice the pixels) of the touch tour, the pen
// through the DevTools protocol (CDP), the resize to twice the pixels, the
// offline cache (setOfflineMode), and page.metrics() in figures.js.
//
//   node run.js [--figures]     (LESSONKIT_BIN: native build, LESSONKIT_SITE: the site)
'use strict';
const fs = require('fs');
const path = require('path');
const c = require('./common.js');

const {PROGRAMS, PROBLEMS, SEED, PICTURE_TILE, PICTURE_MAD, similar} = c;
// How far the recorded first screen may be from the program's (mean
// difference per channel, 0-255).
const FIRST_SCREEN_MAD = 1.0;

// Runs the program's own tour in the page and the same tour natively.
async function tourBoth(browser, program, query, dir) {
  const page = await c.openPage(browser, c.fileUrl(program, `tour=${PROBLEMS}&seed=${SEED}&${query}`));
  await c.tourDone(page);
  const result = await page.evaluate(() => ({
    trace: window.lkTest.trace, pictures: window.lkTest.itemPictures,
    done: window.lkTest.tourDone}));
  c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
  await page.close();
  c.nativeTour(program, dir);
  return result;
}

// An iPad-sized page with touch and no keyboard.
const TABLET = {width: 1024, height: 768, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
// The items of each program, as the window's pointer tour counts them.
const ITEMS = {applylesson: 35, solvelesson: 27};
const sorted = xs => [...xs].sort((a, b) => a - b);
const percentile = (xs, p) => sorted(xs)[Math.min(xs.length - 1, Math.floor(xs.length * p))];

// The practice program on a tablet, with touch taps alone: three sets
// mastered (three right in a row each) on the on-screen keypad, the page
// reloaded, and its menu with the ★ is the desktop's picture of the same
// record; then 記録を消す (confirmed) empties the record.
async function practiceTablet(browser) {
  const dir = path.join(c.WORK, 'practice');
  fs.mkdirSync(dir, {recursive: true});
  const url = c.fileUrl('practicelesson', 'seed=5');
  let page = await c.openPage(browser, url, TABLET);
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await page.waitForFunction(() => window.lkTest && window.lkTest.paints > 0, {timeout: c.LONG});
  let {prompt, count} = await c.nextPrompt(page, 0);
  const next = async () => ({prompt, count} = await c.nextPrompt(page, count));
  const tap = async at => page.touchscreen.tap(at[0], at[1]);
  const tapChoice = async number => {
    const choice = prompt.choices.find(ch => ch.number === number);
    c.expect(choice, `no entry ${number} at prompt ${count} (${prompt.kind})`);
    await tap(choice.at);
  };
  const names = {'\f': 'C', '\r': 'Enter', '\b': 'BS'};
  const keypad = async text => {
    const state = await page.evaluate(() => window.lkTest.overlay());
    c.expect(state.keypad_shown === 1, `no keypad at prompt ${count} (${prompt.kind})`);
    for (const ch of text) {
      const [x, y, w, h] = state.buttons['key' + (names[ch] || ch)];
      c.expect(w >= 44 && h >= 44, `key ${JSON.stringify(ch)} is ${w} x ${h} CSS px`);
      await page.touchscreen.tap(x, y);
    }
  };
  const sets = [3, 4, 10];
  for (const set of sets) {
    c.expect(prompt.kind === 'menu', `not at the menu but at ${prompt.kind}`);
    await tapChoice(set);
    await next();
    for (let solved = 0; solved < 3; ++solved) {
      c.expect(prompt.kind === 'answer', `set ${set}: ${prompt.kind} where a problem was expected`);
      await keypad('\f' + String(prompt.expected) + '\r');
      await next();
      c.expect(prompt.kind === 'verdict', `set ${set}: no verdict but ${prompt.kind}`);
      // A tap anywhere goes on, the left quarter too.
      const view = await page.evaluate(() => window.lkTest.view);
      await page.touchscreen.tap((view.x + 100 * view.scale) / TABLET.deviceScaleFactor,
                                 (view.y + 500 * view.scale) / TABLET.deviceScaleFactor);
      await next();
    }
    c.expect(prompt.buttons.menu_button, `set ${set}: no menu button`);
    await tap(prompt.buttons.menu_button);
    await next();
  }
  const stored = await page.evaluate(() => localStorage.getItem('lessonkit.practicelesson'));
  const record = JSON.parse(stored);
  const mastered = Object.values(record.sets).filter(s => s.mastered).length;
  c.expect(mastered === 3, `${mastered} sets mastered in the record: ${stored}`);

  // Reloaded: the menu shows the record, as the desktop does from that file.
  await page.reload();
  await page.waitForFunction(() => window.lkTest && window.lkTest.paints > 0, {timeout: c.LONG});
  ({prompt, count} = await c.nextPrompt(page, 0));
  c.expect(prompt.kind === 'menu', `after a reload: ${prompt.kind}`);
  const file = path.join(dir, 'record.json');
  fs.writeFileSync(file, stored);
  const picture = await c.grab(page, path.join(dir, 'menu.png'));
  const scale = Number(c.tool('pngcompare', ['size', picture]).trim().split(' ')[0]) / 1366;
  const native = c.nativePicture('practicelesson', '', scale, path.join(dir, 'native'), ['--progress', file]);
  const d = similar(picture, native);
  c.expect(d.ok, `the menu with the record differs from the desktop's: ${JSON.stringify(d)}`);

  // 記録を消す (the entry before 終わり), confirmed with 1.
  await tapChoice(prompt.choices[prompt.choices.length - 2].number);
  await next();
  await tapChoice(1);
  await next();
  c.expect(prompt.kind === 'menu', `after erasing: ${prompt.kind}`);
  const erased = JSON.parse(await page.evaluate(() => localStorage.getItem('lessonkit.practicelesson')));
  c.expect(Object.keys(erased.sets).length === 0, 'the record was not erased: ' + JSON.stringify(erased));
  c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
  console.log(`     sets ${sets.join(', ')} mastered on the keypad; the ★ kept over a reload; erased`);
  await page.close();
}

// プリント in the practice program: まとめ, 20 problems, one sheet and a seed,
// typed at the program's own number prompts. The print view must show the
// sheet and its key as A4 pages: Chromium's PDF of the page (page.pdf, A4)
// has as many pages as the program made, each A4 (pdfinfo), and their text
// (pdftotext) is the desktop's PDF text of the same sheet (practicelesson
// --sheet … --pdf), every problem's number in it. The page holds nothing
// editable. 戻る returns to the menu. Gives the times from the last Enter to
// the pages handed over, the view built and the view drawn.
async function practicePrint(browser) {
  const dir = path.join(c.WORK, 'print');
  fs.mkdirSync(dir, {recursive: true});
  const page = await c.openPage(browser, c.fileUrl('practicelesson', 'seed=5'));
  const first = await c.nextPrompt(page, 0);
  c.expect(first.prompt.kind === 'menu', `the practice program started at ${first.prompt.kind}`);
  const numbers = first.prompt.choices.map(ch => ch.number);
  const quit = Math.max(...numbers), print = quit - 3;  // before 先生に見せる, 記録を消す and 終わり
  const press = c.presser(page, first.count);
  const answer = async text => {
    await page.keyboard.type(text);
    return press('Enter');
  };
  const [set, count, sheets, seed] = [12, 20, 1, 321];
  let prompt = await answer(String(print));
  // Each of プリント's prompts reads a number (a tablet shows the keypad);
  // the sets are its first prompt's choices.
  c.expect(prompt.kind === 'menu' && prompt.choices.length === 12,
           `プリント's first prompt: ${prompt.kind} with ${prompt.choices.length} choices`);
  for (const n of [set, count, sheets]) {
    prompt = await answer(String(n));
    c.expect(prompt.kind === 'menu', `after ${n} the prompt is ${prompt.kind}`);
  }
  await page.keyboard.type(String(seed));
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => window.lkTest.prints === 1, {timeout: c.LONG, polling: 5});
  const shown = await page.evaluate(() => ({print: window.lkTest.print, sheets: window.lkTest.sheets,
    editable: document.querySelectorAll('input, textarea, select, [contenteditable]:not([contenteditable="false"])').length,
    svgs: document.querySelectorAll('#sheets .sheet > svg').length,
    texts: document.querySelectorAll('#sheets svg text').length}));
  const made = shown.sheets;
  c.expect(made, 'the program told of no sheets');
  c.expect(made.count === count && made.sheets === sheets && made.seed === seed,
           `asked for ${[set, count, sheets, seed]}, made ${JSON.stringify(made)}`);
  c.expect(shown.print.pages === made.pages && shown.svgs === made.pages,
           `${made.pages} pages made, ${shown.print.pages} handed over, ${shown.svgs} shown`);
  c.expect(shown.editable === 0, `${shown.editable} editable elements in the page`);
  await page.screenshot({path: path.join(dir, 'view.png')});

  // Printed: A4 pages, as many as the program made.
  const pdf = path.join(dir, 'page.pdf');
  await page.pdf({path: pdf, format: 'A4', printBackground: true});
  const info = require('child_process').execFileSync('pdfinfo', ['-f', '1', '-l', '999', pdf], {encoding: 'utf8'});
  const pages = Number(/^Pages:\s+(\d+)/m.exec(info)[1]);
  c.expect(pages === made.pages, `the PDF has ${pages} pages, the program made ${made.pages}`);
  const sizes = [...info.matchAll(/^Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts/mg)].map(m => [Number(m[1]), Number(m[2])]);
  c.expect(sizes.length === pages && sizes.every(([w, h]) => Math.abs(w - 595.28) < 2 && Math.abs(h - 841.89) < 2),
           `page sizes: ${JSON.stringify(sizes)}`);
  // Its text is the desktop's, page by page, in the order it was drawn
  // (pdftotext -raw: the two PDFs' layouts are read apart differently), blanks
  // aside (the two PDFs space words differently).
  const desktop = path.join(dir, 'desktop.pdf');
  c.tool('practicelesson', ['--sheet', made.set, '--count', String(count), '--sheets', String(sheets),
                            '--seed', String(seed), '--pdf', desktop]);
  const text = (file, n) => require('child_process').execFileSync(
    'pdftotext', ['-raw', '-f', String(n), '-l', String(n), file, '-'], {encoding: 'utf8'}).replace(/\s+/g, '');
  let characters = 0, problems = '';
  for (let n = 1; n <= pages; ++n) {
    const [web, native] = [text(pdf, n), text(desktop, n)];
    c.expect(web === native, `page ${n}'s text differs from the desktop's:\n  page:    ${web}\n  desktop: ${native}`);
    characters += web.length;
    if (!web.startsWith('解答')) problems += web;
  }
  // Every problem's number on the sheet's own pages (the key's come after).
  for (let k = 1; k <= count; ++k) {
    const mark = String.fromCodePoint(k <= 20 ? 0x245F + k : k <= 35 ? 0x3250 + k - 20 : 0x32B0 + k - 35);
    c.expect(problems.includes(mark), `problem ${mark} is not on the sheet's pages`);
  }

  // 戻る: the menu again.
  await page.click('#print-back');
  const back = await c.nextPrompt(page, press.seen);
  c.expect(back.prompt.kind === 'menu' && back.prompt.choices.length === numbers.length,
           `after 戻る: ${back.prompt.kind}`);
  c.expect(await page.evaluate(() => !document.body.classList.contains('printing') &&
                                     document.querySelectorAll('#sheets *').length === 0),
           'the print view stayed');
  c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
  await page.close();
  const p = shown.print;
  console.log(`     ${made.pages} A4 pages (${shown.texts} texts, ${characters} characters), the desktop's text; ` +
              `from Enter: pages handed over ${(p.started - p.keyAt).toFixed(0)} ms, view built ` +
              `${(p.shownAt - p.keyAt).toFixed(0)} ms, drawn ${(p.paintedAt - p.keyAt).toFixed(0)} ms`);
}

// A program taught from start to end with touch taps alone, as on a tablet:
// a tap on each main-menu entry and each item-bar entry (the keypad where a
// bar shows no entry for an item), a tap on the picture at every step
// banner, the keypad's "1" and Enter at every practice problem. Each item's
// last picture must be lessonreplay's for the same answers. At the first
// step, a pen drag must draw ink on the overlay's canvas along its path and
// nothing else: no key, no operation, no change to the lesson's picture.
async function touchTour(browser, program) {
  const dir = path.join(c.WORK, 'touch-' + program);
  fs.mkdirSync(dir, {recursive: true});
  const page = await c.openPage(browser, c.fileUrl(program, `seed=${SEED}&trace=1&pictures=1`), TABLET);
  const ratio = TABLET.deviceScaleFactor;
  let {prompt, count} = await c.nextPrompt(page, 0);
  const view = await page.evaluate(() => window.lkTest.view);
  const next = async () => {
    const n = await c.nextPrompt(page, count);
    c.expect(!n.ended, `${program} ended after prompt ${count}`);
    ({prompt, count} = n);
  };
  const overlay = () => page.evaluate(() => window.lkTest.overlay());
  // A point of the layout area in CSS px.
  const css = (x, y) => [(view.x + x * view.scale) / ratio, (view.y + y * view.scale) / ratio];
  const tapChoice = async number => {
    const choice = prompt.choices.find(ch => ch.number === number);
    c.expect(choice, `no entry ${number} at prompt ${count} (${prompt.kind})`);
    await page.touchscreen.tap(...choice.at);
  };
  // Taps the keypad's keys for `text` ("\f" is its clear key, "\r" Enter).
  const keypad = async text => {
    const state = await overlay();
    c.expect(state.keypad_shown === 1, `no keypad at prompt ${count} (${prompt.kind})`);
    const names = {'\f': 'C', '\r': 'Enter', '\b': 'BS', '=': 'Equals'};
    for (const ch of text) {
      const [x, y, w, h] = state.buttons['key' + (names[ch] || ch)];
      c.expect(w >= 44 && h >= 44, `key ${JSON.stringify(ch)} is ${w} x ${h} CSS px`);
      await page.touchscreen.tap(x, y);
    }
  };
  let keys = '', items = 0, typed = 0, inked = -1;
  c.expect(prompt.kind === 'menu', `${program} did not start at its menu`);
  const menu = prompt.choices.map(ch => ch.number);
  const quit = menu[menu.length - 1];
  for (const m of menu.slice(0, -1)) {
    await tapChoice(m);
    keys += `\\f${m}\\r`;
    await next();
    if (prompt.kind === 'menu') continue;  // a reserved place shows the menu again
    c.expect(prompt.kind === 'bar', `menu entry ${m} led to ${prompt.kind}`);
    const bar = prompt.choices.map(ch => ch.number);
    const back = bar[bar.length - 1];
    for (let i = 1; i < back; ++i) {
      if (bar.includes(i)) {
        await tapChoice(i);
      } else {
        await keypad(`\f${i}\r`);
        typed += 1;
      }
      keys += `\\f${i}\\r`;
      await next();
      while (prompt.kind !== 'bar') {
        if (inked >= 0 && inked < items) {
          c.expect((await overlay()).strokes === 0, 'the ink stayed into the next item');
          inked = Infinity;
        }
        if (prompt.kind === 'step') {
          if (inked < 0) {
            await penDrag(page, program, dir, view, css, count);
            inked = items;
          }
          await page.touchscreen.tap(...css(1000, 400));
          keys += ' ';
        } else if (prompt.kind === 'answer') {
          // An equation of the teacher's own, on the equation keypad.
          await keypad('2x=6\r');
          keys += '2x=6\\r';
        } else {
          c.expect(prompt.kind === 'next_step', `unexpected ${prompt.kind} in entry ${m}, item ${i}`);
          await keypad('1\r');
          keys += '1\\r';
        }
        await next();
      }
      items += 1;
    }
    await tapChoice(back);
    keys += `\\f${back}\\r`;
    await next();
    c.expect(prompt.kind === 'menu', `the bar's last entry of menu entry ${m} did not lead back`);
  }
  await tapChoice(quit);
  await page.waitForFunction(() => window.lkTest.endedAt > 0, {timeout: c.LONG});
  c.expect(items === ITEMS[program], `${items} items toured, expected ${ITEMS[program]}`);
  const pictures = await page.evaluate(() => window.lkTest.itemPictures);
  c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
  await page.close();
  const native = path.join(dir, 'native');
  c.tool('lessonreplay', [program, '--seed', String(SEED), '--keys', keys, '--pages', 'final',
                          '--png', native, '--scale', String(view.scale)]);
  const natives = fs.readdirSync(native).sort();
  c.expect(pictures.length === items && natives.length === items,
           `${pictures.length} item pictures in the page, ${natives.length} natively, ${items} items`);
  let worst = 0;
  pictures.forEach((data, i) => {
    const d = similar(c.savePicture(data, path.join(dir, `web-${i + 1}.png`)), path.join(native, natives[i]));
    worst = Math.max(worst, d.tile);
    c.expect(d.ok, `item picture ${i + 1}: ${JSON.stringify(d)}`);
  });
  console.log(`     ${program}: ${items} items (${typed} chosen on the keypad), ${count} prompts, ` +
              `every last picture lessonreplay's (worst tile ${worst.toFixed(3)})`);
}

// A pen drag across the middle of the picture at a step banner.
async function penDrag(page, program, dir, view, css, count) {
  const trace = () => page.evaluate(() => window.lkTest.trace.length);
  // Points on the path, in device pixels of the overlay's canvas.
  const path10 = [...Array(10).keys()].map(k => [Math.round(view.x + (520 + 40 * k) * view.scale),
                                                  Math.round(view.y + 330 * view.scale)]);
  const pixels = () => page.evaluate(points => {
    const ctx = window.lkTest.overlayCtx;
    return points.map(([x, y]) => Array.from(ctx.getImageData(x, y, 1, 1).data));
  }, path10);
  const traceBefore = await trace();
  const before = await c.grab(page, path.join(dir, 'before-ink.png'));
  c.expect((await pixels()).every(p => p[3] === 0), 'the overlay had something on the path already');
  const first = await page.evaluate(() => window.lkTest.pointerEvents.length);
  const cdp = await page.createCDPSession();
  const pen = (type, [x, y]) => cdp.send('Input.dispatchMouseEvent', {
    type, x, y, button: 'left', buttons: type === 'mouseReleased' ? 0 : 1, clickCount: 1, pointerType: 'pen'});
  await pen('mousePressed', css(500, 330));
  for (let x = 504; x <= 900; x += 4) await pen('mouseMoved', css(x, 330));
  await pen('mouseReleased', css(900, 330));
  await cdp.detach();
  const red = p => Math.abs(p[0] - 0xE5) <= 8 && Math.abs(p[1] - 0x39) <= 8 && Math.abs(p[2] - 0x35) <= 8 && p[3] === 255;
  await page.waitForFunction(points => {
    const ctx = window.lkTest.overlayCtx;
    return points.every(([x, y]) => {
      const p = ctx.getImageData(x, y, 1, 1).data;
      return Math.abs(p[0] - 0xE5) <= 8 && Math.abs(p[1] - 0x39) <= 8 && p[3] === 255;
    });
  }, {timeout: c.LONG, polling: 50}, path10);
  c.expect((await pixels()).every(red), 'the pen drew no red ink along its path');
  const state = await page.evaluate(() => ({
    prompts: window.lkTest.prompts, strokes: window.lkTest.overlay().strokes}));
  c.expect(state.prompts === count, 'a pen drag navigated');
  c.expect(state.strokes === 1, `${state.strokes} strokes after one drag`);
  c.expect(await trace() === traceBefore, 'the ink entered the trace');
  const after = await c.grab(page, path.join(dir, 'after-ink.png'));
  c.expect(c.mad(after, before) === 0, 'the ink reached the lesson\'s canvas');
  // Each pen event's time in the page's handler and the area it repainted.
  const events = (await page.evaluate(n => window.lkTest.pointerEvents.slice(n), first))
    .filter(e => e.type === 'pointermove');
  c.expect(events.length >= 50, `only ${events.length} pen moves arrived`);
  const ms = events.map(e => e.ms);
  const whole = await page.evaluate(() => window.lkTest.overlayCanvas.width * window.lkTest.overlayCanvas.height);
  const largest = Math.max(...events.map(e => (e.painted ? e.painted[2] * e.painted[3] : 0))) / whole;
  console.log(`     ${program} ink: ${events.length} pen moves, median ${percentile(ms, 0.5).toFixed(2)} ms, ` +
              `95th percentile ${percentile(ms, 0.95).toFixed(2)} ms, slowest ${Math.max(...ms).toFixed(2)} ms; ` +
              `largest area repainted ${(100 * largest).toFixed(2)} % of the canvas`);
  // Only what the stroke touched: a few pen steps' worth, never the canvas.
  c.expect(largest < 0.01, 'a pen move repainted a large area');
}

async function main() {
  const {browser, close} = await c.launch();
  c.only(process.argv[2]);
  const tours = {};

  for (const program of c.TOURED) {
    const dir = path.join(c.WORK, program);
    fs.mkdirSync(dir, {recursive: true});

    await c.check(`${program}: a full tour in the page draws the desktop's operations`, async () => {
      tours[program] = await tourBoth(browser, program, 'trace=1', dir);
      const {lines, worst} = c.checkTrace(tours[program].trace, dir, c.TRACE_TOLERANCE);
      console.log(`     ${lines} operations, numbers within ${worst.toPrecision(2)}; ` +
                  `${JSON.stringify(tours[program].done)}`);
    });

    await c.check(`${program}: the last picture of every item is the desktop's`, async () => {
      c.expect(tours[program], 'no tour');
      const pictures = tours[program].pictures;
      const worst = c.checkPictures(pictures, dir);
      console.log(`     ${pictures.length} items; largest difference: tile ${worst.tile.toFixed(3)}, ` +
                  `mean ${worst.mean.toFixed(3)}`);
    });
  }

  await c.check('the first screen is drawn before the program starts, as the program draws it, and keys typed meanwhile wait for it', async () => {
    const picture = async (page, file) => c.savePicture(
      await page.evaluate(() => document.getElementById('lesson').toDataURL('image/png')), path.join(c.WORK, file));
    // The program held back until the test has looked (?first=hold).
    const held = async (page, program) => {
      await page.goto(c.fileUrl(program, 'first=hold'));
      await page.waitForFunction(() => window.lkTest && window.lkTest.release, {timeout: c.LONG});
      const [by, paints] = await page.evaluate(() => [window.lkTest.firstScreen, window.lkTest.paints]);
      c.expect(by === 'recorded' && paints === 0, `${program}: no recorded first screen (${by}, ${paints} pictures)`);
    };
    for (const program of c.PROGRAMS) {
      const page = await browser.newPage();
      await page.setViewport({width: 1366, height: 720, deviceScaleFactor: 1});
      await held(page, program);
      const recorded = await picture(page, `${program}-first-recorded.png`);
      await page.evaluate(() => window.lkTest.release());
      const {prompt} = await c.nextPrompt(page, 0);
      c.expect(prompt.kind === 'menu', `${program} started at ${prompt.kind}`);
      // The recorded screen's glyphs are outlines, drawn without the font's
      // hinting, so that their edges differ a little more than two
      // browsers' text does: the mean difference stays near 0.5, where the
      // same screen one pixel to the side gives 2.5.
      const d = c.compare(recorded, await picture(page, `${program}-first-program.png`));
      console.log(`     ${program}: recorded and drawn first screens differ by tile ${d.tile.toFixed(3)}, mean ${d.mad.toFixed(3)}`);
      c.expect(d.mad < FIRST_SCREEN_MAD, `${program}: the recorded first screen is not the program's: ${JSON.stringify(d)}`);
      // Typed before the program was there: 1 and Enter open the first topic.
      await held(page, program);
      await page.keyboard.press('1');
      await page.keyboard.press('Enter');
      await page.evaluate(() => window.lkTest.release());
      const after = await c.nextPrompt(page, 1);
      c.expect(after.prompt.kind === 'bar', `${program}: the keys typed early led to ${after.prompt.kind}`);
      await page.close();
    }
  });

  await c.check('the picture tolerance catches a wrong font, a missing glyph and a one-unit shift', async () => {
    const program = 'applylesson';
    const dir = path.join(c.WORK, program);
    const natives = fs.readdirSync(path.join(dir, 'native')).sort();
    const items = [0, 1, 2];
    for (const fault of ['font', 'glyph']) {
      const page = await c.openPage(browser, c.fileUrl(program, `tour=${PROBLEMS}&seed=${SEED}&fault=${fault}`));
      await page.waitForFunction(n => window.lkTest.itemPictures.length >= n,
                                 {timeout: c.LONG, polling: 100}, items.length);
      const pictures = await page.evaluate(() => window.lkTest.itemPictures);
      await page.close();
      for (const i of items) {
        const d = similar(c.savePicture(pictures[i], path.join(dir, `fault-${fault}-${i}.png`)),
                          path.join(dir, 'native', natives[i]));
        console.log(`     ${fault} fault, item ${i + 1}: tile ${d.tile.toFixed(3)}, mean ${d.mad.toFixed(3)}`);
        c.expect(!d.ok, `a ${fault} fault in item ${i + 1} passes: ${JSON.stringify(d)}`);
      }
    }
    for (const i of items) {
      const d = similar(path.join(dir, `web-${i + 1}.png`), path.join(dir, 'native', natives[i]), 1, 0);
      console.log(`     one-unit shift, item ${i + 1}: tile ${d.tile.toFixed(3)}, mean ${d.mad.toFixed(3)}`);
      c.expect(!d.ok, `a one-unit shift of item ${i + 1} passes: ${JSON.stringify(d)}`);
    }
  });

  await c.check('going back a step, the projector colours, a resize and Backspace, as on the desktop', async () => {
    const dir = path.join(c.WORK, 'behaviour');
    fs.mkdirSync(dir, {recursive: true});
    const page = await c.openPage(browser, c.fileUrl('solvelesson', 'seed=3'));
    const {press, keys} = await c.checkStepBack(page, dir);
    // Backspace at a step goes on; it never takes the page back.
    const url = page.url();
    await press('Backspace');
    c.expect(page.url() === url, 'Backspace left the page');
    c.expect(await page.evaluate(() => window.scrollX === 0 && window.scrollY === 0), 'the page scrolled');
    // F2: the projector colours, as the desktop draws them.
    await c.checkProjector(page, dir);
    // A tablet-sized window at twice the pixels: drawn again, sharp.
    await page.setViewport({width: 1024, height: 768, deviceScaleFactor: 2});
    await page.waitForFunction(() => window.lkTest.view.w === 2048, {timeout: c.LONG});
    await page.waitForFunction(() => window.lkTest.idle, {timeout: c.LONG});
    const view = await page.evaluate(() => window.lkTest.view);
    const big = await c.grab(page, path.join(dir, 'big.png'));
    const nativeBig = c.nativePicture('solvelesson', keys + ' ', view.scale, path.join(dir, 'native-big'),
                                      ['--seed', '3']);
    const d = similar(big, nativeBig);
    c.expect(d.ok, `at ${view.w}x${view.h} the picture differs from the desktop's: ${JSON.stringify(d)}`);
    c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
    await page.close();
  });

  await c.check('both programs taught with touch taps alone on a tablet-sized page; a pen writes only on the overlay', async () => {
    for (const program of PROGRAMS) await touchTour(browser, program);
  });

  await c.check('a Japanese input method\'s keys answer a practice problem once', async () => {
    const page = await c.openPage(browser, c.fileUrl('practicelesson', 'seed=5'));
    const answer = await c.checkInputMethod(page);
    c.expect(page.lkErrors.length === 0, 'page errors: ' + page.lkErrors.join('; '));
    console.log(`     composed "3", Enter, then ${answer} and Enter twice: one verdict`);
    await page.close();
  });

  await c.check('practice on a tablet with touch alone: three sets mastered on the keypad, the ★ kept over a reload, then erased', async () => {
    await practiceTablet(browser);
  });

  await c.check('a teacher\'s request in the practice page\'s address starts 今日の問題, in the single file and the served page; a bad one is said on the menu', async () => {
    const open = url => c.openPage(browser, url);
    await c.checkRequest(open, page => page.lkErrors);
    // Served, each page also has the browser ask for /favicon.ico, which
    // the site has not: that one 404 a page is the server's answer, not the
    // page's error.
    const server = await c.serve();
    const favicon = /^Failed to load resource: the server responded with a status of 404/;
    const pageErrors = page => {
      let missing = 0;
      return page.lkErrors.filter(e => !(favicon.test(e) && ++missing === 1));
    };
    await c.checkRequest(open, pageErrors,
                         `http://127.0.0.1:${server.address().port}/app/practicelesson.html?test=1&trace=1`);
    server.close();
    console.log('     今日の問題 from #v1;…, two problems, done; an unknown set, garbage and v2 said on the menu');
  });

  await c.check('プリント in the practice program: the print view gives A4 pages holding the desktop sheet\'s text, and 戻る returns to the menu', async () => {
    await practicePrint(browser);
  });

  await c.check('the Canvas 2D player draws the players\' reference pictures', async () => {
    const dir = path.join(c.WORK, 'players');
    fs.mkdirSync(dir, {recursive: true});
    const script = path.join(c.ROOT, 'build-web', 'players_web.js');
    const fonts = JSON.parse(fs.readFileSync(path.join(c.SITE, 'fonts', 'fonts.json'), 'utf8'));
    const html = path.join(dir, 'players.html');
    fs.writeFileSync(html, `<!DOCTYPE html><meta charset="utf-8"><body><script>
      (async () => {
        const fonts = ${JSON.stringify(fonts)};
        await Promise.all(fonts.map(f => {
          const face = new FontFace(f.page_family, 'url(file://${path.join(c.SITE, 'fonts')}/' + f.file + ')',
            {weight: f.weight === 'bold' ? 'bold' : 'normal', style: f.style === 'italic' ? 'italic' : 'normal'});
          document.fonts.add(face);
          return face.load();
        }));
        const s = document.createElement('script');
        s.src = 'file://${script}';
        document.body.appendChild(s);
      })();
    </script></body>`);
    const page = await browser.newPage();
    await page.goto('file://' + html);
    await page.waitForFunction(() => window.Module && window.Module.casesDone, {timeout: c.LONG});
    const cases = await page.evaluate(() => [...document.querySelectorAll('canvas')].map(
      canvas => ({name: canvas.id, data: canvas.toDataURL('image/png')})));
    await page.close();
    const references = path.join(c.ROOT, 'tests', 'players', 'reference');
    c.expect(cases.length === fs.readdirSync(references).length, `${cases.length} cases drawn`);
    for (const one of cases) {
      const drawn = c.savePicture(one.data, path.join(dir, one.name + '.png'));
      const d = c.compare(drawn, path.join(references, one.name + '.png'));
      console.log(`     ${one.name}: tile ${d.tile.toFixed(3)}, mean ${d.mad.toFixed(3)}`);
      c.expect(d.tile < PICTURE_TILE && d.mad < PICTURE_MAD, `${one.name} differs: ${JSON.stringify(d)}`);
    }
  });

  // (This Chromium may read files beside a file:// page, so the served page
  // itself draws here; where the browser may not, it gives way to the
  // single file beside it.)
  await c.check('a served page opened from a folder draws', async () => {
    const page = await browser.newPage();
    await page.goto('file://' + path.join(c.SITE, 'app', 'applylesson.html?test=1'));
    await c.programDrawn(page);
    await page.close();
  });

  // A browser that cannot unpack gzip itself (older tablets) unpacks a
  // single file's WebAssembly with the reader the file carries.
  await c.check('a single file starts without DecompressionStream, through its own gzip reader', async () => {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => { delete window.DecompressionStream; });
    await page.goto(c.fileUrl('solvelesson'));
    await c.programDrawn(page);
    const [native, reader] = await page.evaluate(() => [typeof DecompressionStream, typeof fflate]);
    c.expect(native === 'undefined' && reader === 'object', `DecompressionStream ${native}, the reader ${reader}`);
    await page.close();
  });

  // What a student's device downloads and compiles at every start: each
  // program's WebAssembly as its page carries it, unpacked, held to half
  // its size when the waits were written with asyncify.
  const WASM_BUDGET = {applylesson: 505000, solvelesson: 490000, practicelesson: 430000};
  await c.check('each program\'s WebAssembly, as its single file and its served page carry it, stays within its size', async () => {
    const zlib = require('zlib');
    for (const [program, budget] of Object.entries(WASM_BUDGET))
      for (const file of [`${program}.html`, `app/${program}.html`]) {
        const html = fs.readFileSync(path.join(c.SITE, file), 'ascii');
        const packed = /<script type="application\/gzip" id="lk-wasm">([^<]*)<\/script>/.exec(html);
        c.expect(packed, `${file} carries no WebAssembly`);
        const wasm = zlib.gunzipSync(Buffer.from(packed[1].trim(), 'base64'));
        c.expect(wasm.subarray(0, 4).equals(Buffer.from('\0asm', 'binary')), `${file}: not WebAssembly`);
        c.expect(wasm.length <= budget, `${file}: its WebAssembly is ${wasm.length} bytes, more than ${budget}`);
      }
  });

  await c.check('over http the index and the programs link a web app manifest whose icons load', async () => {
    const server = await c.serve();
    const base = `http://127.0.0.1:${server.address().port}/`;
    const page = await browser.newPage();
    for (const name of ['index.html', 'applylesson.html', 'app/applylesson.html']) {
      await page.goto(base + name);
      const links = await page.waitForFunction(() => {
        const href = rel => { const l = document.querySelector(`link[rel="${rel}"]`); return l && l.href; };
        return href('manifest') && href('apple-touch-icon') && [href('manifest'), href('apple-touch-icon')];
      }, {timeout: c.LONG});
      const [manifestUrl, touchIcon] = await links.jsonValue();
      c.expect(manifestUrl === base + 'manifest.webmanifest', `${name} links ${manifestUrl}`);
      const found = await page.evaluate(async (manifestUrl, touchIcon) => {
        const text = await (await fetch(manifestUrl)).text();
        let manifest;
        try { manifest = JSON.parse(text); } catch (e) { return {error: 'not JSON: ' + e.message}; }
        // Each icon decoded, with its size.
        const load = src => new Promise(resolve => {
          const image = new Image();
          image.onload = () => resolve([image.naturalWidth, image.naturalHeight]);
          image.onerror = () => resolve(null);
          image.src = new URL(src, manifestUrl).href;
        });
        const icons = [];
        for (const icon of manifest.icons || []) icons.push({...icon, loaded: await load(icon.src)});
        return {manifest, icons, touch: await load(touchIcon)};
      }, manifestUrl, touchIcon);
      c.expect(!found.error, found.error);
      const m = found.manifest;
      c.expect(m.name === '方程式' && m.start_url === 'index.html' && m.display === 'standalone' &&
               m.theme_color === '#0d1b4a', `the manifest: ${JSON.stringify(m)}`);
      for (const want of [['192x192', 'any'], ['512x512', 'any'], ['512x512', 'maskable']]) {
        const icon = found.icons.find(i => i.sizes === want[0] && i.purpose === want[1]);
        c.expect(icon, `no ${want[1]} icon of ${want[0]}`);
        c.expect(icon.loaded && icon.loaded.join('x') === icon.sizes, `${icon.src} loads as ${icon.loaded}`);
      }
      c.expect(found.touch && found.touch[0] === 180 && found.touch[1] === 180,
               `the apple-touch-icon loads as ${found.touch}`);
      const theme = await page.evaluate(() => document.querySelector('meta[name="theme-color"]').content);
      c.expect(theme === m.theme_color, `${name}'s theme colour is ${theme}`);
    }
    await page.close();
    server.close();
  });

  await c.check('over http the site opens from its index and keeps working offline', async () => {
    const server = await c.serve();
    const base = `http://127.0.0.1:${server.address().port}/`;
    const page = await browser.newPage();
    await page.goto(base + 'index.html');
    await page.click('a[href="app/applylesson.html"]');
    // The worker starts once the program has drawn.
    await page.waitForFunction(async () => {
      const r = await navigator.serviceWorker.ready;
      return r.active && r.active.state === 'activated';
    }, {timeout: c.LONG});
    await page.reload();
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: c.LONG});
    server.close();
    await page.setOfflineMode(true);
    // Offline, each program itself starts (the worker's cache ignores the
    // test parameter).
    for (const address of ['app/applylesson.html', 'app/solvelesson.html', 'solvelesson.html']) {
      await page.goto(base + address + '?test=1');
      await c.programDrawn(page);
    }
    // The manifest and the icons come from the cache too.
    const cached = await page.evaluate(async () => {
      const manifest = await (await fetch('manifest.webmanifest')).json();
      const icons = manifest.icons.map(i => i.src).concat(['icons/apple-touch-icon.png']);
      return Promise.all(icons.map(async src => [src, (await fetch(src)).ok]));
    });
    c.expect(cached.every(([, ok]) => ok), `offline: ${JSON.stringify(cached)}`);
    await page.close();
  });

  await close();
  c.finish();
}

main().catch(e => {
  console.log('FAIL', e.stack || e);
  process.exit(1);
});
