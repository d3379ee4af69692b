// The browser build in the two engines besides Chromium: Debian's
// firefox-esr (Gecko, through puppeteer-core over WebDriver BiDi) and
// WebKitGTK (the engine of every iPad browser, through Debian's
// WebKitWebDriver under an Xvfb of its own). In each: a full tour of both
// programs gives the desktop's trace line for line and the desktop's last
// picture of a dozen items; a step back, F2 and a tap do what they do on
// the desktop; a teacher's request in the practice page's address starts
// 今日の問題, and a bad one is said on the menu.
//
//   node engines.js firefox|webkit [FILTER]   (LESSONKIT_BIN, LESSONKIT_SITE as for run.js)
//
// What only Chromium can be asked for stays in run.js (and figures.js): the
// tablet emulation (isMobile, touch points, twice the pixels) of the touch
// tour, the pen through the DevTools protocol, the offline cache over http,
// the Canvas 2D player's reference pictures and page.metrics().
'use strict';
const fs = require('fs');
const path = require('path');
const c = require('./common.js');
const {launchFirefox} = require('./browser.js');
const {launchWebKit} = require('./webdriver.js');

// Items of each program whose last picture is compared: six each, spread
// over the tour (LESSONKIT_WEB_PICTURES=N for another number).
const PICTURES_PER_PROGRAM = Number(process.env.LESSONKIT_WEB_PICTURES) || 6;
const SIZE = {width: 1366, height: 720};

const ENGINES = {
  // Puppeteer's page over BiDi: the viewport and its pixel ratio can be
  // set, and touch actions arrive as touch Pointer Events.
  async firefox() {
    const {browser, close} = await launchFirefox();
    return {
      version: await browser.version(),
      open: url => c.openPage(browser, url, {...SIZE, deviceScaleFactor: 1, hasTouch: true}),
      errors: async page => page.lkErrors,
      touchType: 'touch',
      close,
    };
  },
  // One window whose size is set until its viewport is 1366 x 720 CSS px
  // (the pixel ratio is the screen's, 1). WebKitGTK's WebDriver accepts a
  // touch pointer action but delivers it as a mouse pointer: the tap is
  // checked as the pointer tap it gets.
  async webkit() {
    const {page, close, version} = await launchWebKit();
    await page.goto('about:blank');
    await page.setViewport(SIZE);
    return {
      version,
      open: async url => {
        await page.goto(url);
        await page.watchErrors();
        await page.waitForFunction(() => window.lkTest && window.lkTest.paints > 0, {timeout: c.LONG});
        return page;
      },
      errors: p => p.errors(),
      touchType: 'mouse',
      close,
    };
  },
};

async function main() {
  const name = process.argv[2];
  c.expect(ENGINES[name], `usage: node engines.js ${Object.keys(ENGINES).join('|')} [FILTER]`);
  c.only(process.argv[3]);
  const started = Date.now();
  const engine = await ENGINES[name]();
  console.log(`     ${engine.version}, started in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  const tours = {};

  for (const program of c.TOURED) {
    const dir = path.join(c.WORK, program);
    fs.mkdirSync(dir, {recursive: true});

    await c.check(`${name}: ${program}: a full tour in the page draws the desktop's operations`, async () => {
      const page = await engine.open(c.fileUrl(program, `tour=${c.PROBLEMS}&seed=${c.SEED}&trace=1`));
      await c.tourDone(page);
      const tour = await page.evaluate(() => ({
        trace: window.lkTest.trace, pictures: window.lkTest.itemPictures,
        done: window.lkTest.tourDone}));
      const errors = await engine.errors(page);
      await page.close();
      c.expect(errors.length === 0, 'page errors: ' + errors.join('; '));
      c.expect(tour.pictures.length > 0, 'no item pictures');
      // The scale the page drew at, from the first picture's width.
      const first = c.savePicture(tour.pictures[0], path.join(dir, 'web-1.png'));
      const width = Number(c.tool('pngcompare', ['size', first]).trim().split(' ')[0]);
      tour.scale = width / 1366;
      c.nativeTour(program, dir, tour.scale);
      tours[program] = tour;
      const {lines, worst} = c.checkTrace(tour.trace, dir, c.TRACE_TOLERANCE);
      console.log(`     ${lines} operations, numbers within ${worst.toPrecision(2)}; ` +
                  `${JSON.stringify(tour.done)}`);
    });

    await c.check(`${name}: ${program}: the last picture of items across the tour is the desktop's`, async () => {
      const tour = tours[program];
      c.expect(tour, 'no tour');
      const items = c.spread(tour.pictures.length, PICTURES_PER_PROGRAM);
      const worst = c.checkPictures(tour.pictures, dir, items);
      console.log(`     items ${items.map(i => i + 1).join(', ')} of ${tour.pictures.length} at scale ` +
                  `${tour.scale}; largest difference: tile ${worst.tile.toFixed(3)}, mean ${worst.mean.toFixed(3)}`);
    });
  }

  await c.check(`${name}: going back a step, the projector colours and a tap, as on the desktop`, async () => {
    const dir = path.join(c.WORK, 'behaviour');
    fs.mkdirSync(dir, {recursive: true});
    const page = await engine.open(c.fileUrl('solvelesson', 'seed=3'));
    c.expect(await page.evaluate(() => window.devicePixelRatio) === 1, 'the page is not at scale 1');
    const {keys} = await c.checkStepBack(page, dir);
    await c.checkProjector(page, dir);
    // A tap right of the left quarter goes on, one in the left quarter goes
    // back: the desktop's pictures of those steps.
    await page.evaluate(() => {
      window.lkTestPointers = [];
      window.addEventListener('pointerdown', e => window.lkTestPointers.push(e.pointerType), true);
    });
    const view = await page.evaluate(() => ({...window.lkTest.view, ratio: window.devicePixelRatio}));
    const css = (x, y) => [(view.x + x * view.scale) / view.ratio, (view.y + y * view.scale) / view.ratio];
    let seen = (await c.nextPrompt(page, 0)).count;
    const tap = async (x, y, what, expected) => {
      await page.touchscreen.tap(...css(x, y));
      const next = await c.nextPrompt(page, seen);
      c.expect(next.prompt.kind === 'step', `a tap ${what} led to ${next.prompt.kind}`);
      seen = next.count;
      const picture = await c.grab(page, path.join(dir, `tap-${what}.png`));
      const native = c.nativePicture('solvelesson', expected, 1, path.join(dir, 'native-' + what), ['--seed', '3']);
      const d = c.similar(picture, native);
      c.expect(d.ok, `after a tap ${what} the picture differs from the desktop's: ${JSON.stringify(d)}`);
    };
    await tap(1000, 400, 'on', keys + ' ');
    await tap(100, 400, 'back', keys);
    const types = await page.evaluate(() => window.lkTestPointers);
    c.expect(types.length === 2 && types.every(t => t === engine.touchType),
             `the taps arrived as ${types.join(', ')} pointers, not ${engine.touchType}`);
    console.log(`     the taps arrived as ${types[0]} pointers`);
    const errors = await engine.errors(page);
    c.expect(errors.length === 0, 'page errors: ' + errors.join('; '));
    await page.close();
  });

  await c.check(`${name}: a Japanese input method's keys answer a practice problem once`, async () => {
    const page = await engine.open(c.fileUrl('practicelesson', 'seed=5'));
    const answer = await c.checkInputMethod(page);
    const errors = await engine.errors(page);
    c.expect(errors.length === 0, 'page errors: ' + errors.join('; '));
    console.log(`     composed "3", Enter, then ${answer} and Enter twice: one verdict`);
    await page.close();
  });

  await c.check(`${name}: a teacher's request in the practice page's address starts 今日の問題; a bad one is said on the menu`, async () => {
    await c.checkRequest(engine.open, engine.errors);
    console.log('     今日の問題 from #v1;…, two problems, done; an unknown set, garbage and v2 said on the menu');
  });

  await engine.close();
  console.log(`     ${name}: ${((Date.now() - started) / 1000).toFixed(1)} s in all`);
  c.finish();
}

main().catch(e => {
  console.log('FAIL', e.stack || e);
  process.exit(1);
});
