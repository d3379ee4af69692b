// クラスの様子 (classlesson.html) in the browser, with records the desktop
// practice program made (lessonreplay: practice, then 先生に見せる and
// ファイルで提出, whose last picture is the screen with the code):
//  - hand-in files dropped on the page in Chromium, Firefox and WebKitGTK:
//    the table shows each seat's sets, a stuck student and the named
//    mistakes; damaged and foreign files are refused and change nothing;
//  - in Chromium, the student's screen as the fake camera's picture, as it
//    is and tilted, blurred and dimmed (ImageMagick): the row is read, and
//    the time from the frame that held the code to the row is reported;
//  - the projection view, the CSV and 今日の問題's code, whose address
//    starts the practice page's 今日の問題.
//
//   node class.js [FILTER]   (LESSONKIT_BIN, LESSONKIT_SITE as for run.js)
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');
const c = require('./common.js');
const {launchFirefox, emptyFontconfig} = require('./browser.js');
const {launchWebKit} = require('./webdriver.js');

// Debian's ImageMagick (a local wrapper of the same name may come first on
// the PATH).
const CONVERT = '/usr/bin/convert';
const PAGE = 'file://' + path.join(c.SITE, 'classlesson.html');

function day(offset = 0) {
  const d = new Date(Date.now() + offset * 86400000);
  return `${d.getFullYear()}-${String(d.getMonth() + 1).padStart(2, '0')}-${String(d.getDate()).padStart(2, '0')}`;
}

// A student: the desktop program run with `keys` over a record that starts
// as `progress` (or none); gives the hand-in file and the last picture.
function student(name, keys, progress) {
  const dir = path.join(c.WORK, 'students', name);
  fs.mkdirSync(dir, {recursive: true});
  const record = path.join(dir, 'record.json');
  if (progress) fs.writeFileSync(record, JSON.stringify(progress));
  execFileSync(path.join(c.BIN, 'lessonreplay'), ['practicelesson', '--progress', record, '--hand-in', dir,
                                                  '--keys', keys, '--seed', '3', '--png', path.join(dir, 'png')]);
  const files = fs.readdirSync(dir).filter(f => f.endsWith('.txt'));
  c.expect(files.length === 1, `${name}: no hand-in file (${files})`);
  const pictures = fs.readdirSync(path.join(dir, 'png')).sort();
  return {file: path.join(dir, files[0]), name: files[0], text: fs.readFileSync(path.join(dir, files[0]), 'utf8'),
          screen: path.join(dir, 'png', pictures[pictures.length - 1])};
}

function set(figures) {
  return {tried: 0, solved: 0, streak: 0, mastered: false, last_day: day(), hints: 0, shown: 0, mistakes: {},
          today_tried: 0, today_solved: 0, last: [], reviews: 0, practise_again: false, ...figures};
}

function students() {
  // Seat 12 of 1-3: set 5's first problem (4x+5=7x-8 with seed 3) answered
  // 1, the slip of a constant moved without its sign, then a hint and the
  // answer; 先生に見せる: seat 12, class 1-3, ファイルで提出.
  const a = student('a', '5\r1\rh\f13/3\r \x1b' + '14\r12\r2\r1-3\r3\r');
  // Seat 7: stuck on set 6 today, the bracket slip three times; set 3 ★.
  const b = student('b', '14\r7\r2\r1-3\r3\r', {version: 2, seat: 0, class: '', sets: {
    'solve-parentheses': set({tried: 6, solved: 2, hints: 9, shown: 3, mistakes: {5: 3}, today_tried: 6,
                              today_solved: 0, last: [2, 2, 2]}),
    'solve-x-plus-b': set({tried: 4, solved: 4, streak: 3, mastered: true, today_tried: 4, today_solved: 4,
                           last: [0, 0, 0]})}});
  // Seat 3: set 4's ★ last practised ten days ago, due for review.
  const d = student('d', '14\r3\r2\r1-3\r3\r', {version: 2, seat: 0, class: '', sets: {
    'solve-ax-cx-d': set({tried: 3, solved: 3, streak: 3, mastered: true, last_day: day(-10), last: [0, 0, 0]})}});
  return {a, b, d};
}

// Files dropped on the page, as a folder of hand-ins dragged from the
// assignment tool: [{name, text}].
async function dropFiles(page, files) {
  await page.evaluate(list => {
    const transfer = new DataTransfer();
    for (const f of list) transfer.items.add(new File([f.text], f.name, {type: 'text/plain'}));
    document.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
  }, files);
}

// The table as text: {seat: [cells...]}, and the mistakes' row.
function tableOf(page) {
  return page.evaluate(() => {
    const rows = {};
    for (const tr of document.querySelectorAll('#table tbody tr'))
      rows[tr.dataset.seat] = {unread: tr.className === 'unread',
                               cells: [...tr.querySelectorAll('td')].map(td => td.textContent)};
    const sets = [...document.querySelectorAll('#table thead th')].slice(1).map(th => th.textContent);
    const mistakes = [...document.querySelectorAll('#table tfoot td')].map(td => td.textContent);
    return {rows, sets, mistakes, status: document.getElementById('status').textContent,
            refused: [...document.querySelectorAll('#refusals li')].map(li => li.textContent)};
  });
}

// What every engine must show after the files: seat 12 working on set 5
// with its slip named, seat 7 stuck on set 6 with ★ on set 3, seat 3 due on
// set 4, other seats unread; four bad files refused.
async function checkFiles(page, s) {
  await page.waitForFunction(() => window.lkClass && window.lkClass.ready, {timeout: c.LONG});
  const damaged = s.a.text.replace(/LK-RECORD (.)(.)/, (m, x, y) => `LK-RECORD ${y}${x}`);
  const cut = s.a.text.slice(0, s.a.text.length - 12);
  await dropFiles(page, [{name: s.a.name, text: s.a.text}, {name: s.b.name, text: s.b.text},
                         {name: s.d.name, text: s.d.text}, {name: 'damaged.txt', text: damaged},
                         {name: 'cut.txt', text: cut}, {name: 'notes.txt', text: 'きょうのしゅくだい'},
                         {name: 'link.txt', text: 'https://example.com/#v1;s=solve-x-plus-b;n=5'}]);
  await page.waitForFunction(() => window.lkClass.reads + window.lkClass.refusals >= 7, {timeout: c.LONG});
  const t = await tableOf(page);
  const col = name => t.sets.indexOf(name);
  c.expect(t.refused.length === 4, `refusals: ${JSON.stringify(t.refused)}`);
  c.expect(t.rows[12] && !t.rows[12].unread && t.rows[12].cells[col('移項　ax+b=cx+d')] === '連続0',
           `seat 12: ${JSON.stringify(t.rows[12])}`);
  c.expect(t.rows[7].cells[col('かっこのある方程式')] === 'つまずき' && t.rows[7].cells[col('移項　x+b=d')] === '★',
           `seat 7: ${JSON.stringify(t.rows[7])}`);
  c.expect(t.rows[3].cells[col('移項　ax=cx+d')] === '復習', `seat 3: ${JSON.stringify(t.rows[3])}`);
  c.expect(t.rows[1].unread && t.rows[20].unread, 'unread seats are not shown as unread');
  c.expect(t.mistakes[col('移項　ax+b=cx+d')].includes('移項で数の符号を変えていない 1人') &&
           t.mistakes[col('かっこのある方程式')].includes('かっこの中の一部にしかかけていない 1人'),
           `mistakes: ${JSON.stringify(t.mistakes)}`);
  // A second reading of seat 12 updates the row; nothing is added.
  await dropFiles(page, [{name: s.a.name, text: s.a.text}]);
  await page.waitForFunction(() => window.lkClass.reads >= 4, {timeout: c.LONG});
  const again = await tableOf(page);
  c.expect(Object.values(again.rows).filter(r => !r.unread).length === 3, 'seat 12 read again is not one row');
  return t;
}

async function chromium(extra = []) {
  const profile = fs.mkdtempSync(path.join(c.WORK, 'chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, userDataDir: profile,
    env: {...process.env, FONTCONFIG_FILE: emptyFontconfig(profile)},
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--allow-file-access-from-files',
           '--disable-background-timer-throttling', '--autoplay-policy=no-user-gesture-required', ...extra]});
  return browser;
}

async function main() {
  c.only(process.argv[2]);
  const s = students();
  const size = fs.statSync(path.join(c.SITE, 'classlesson.html')).size;
  console.log(`     classlesson.html: ${size} bytes`);

  await c.check('the class page is one file of at most 2 MB, linked from the index and cached offline', async () => {
    c.expect(size <= 2 * 1024 * 1024, `classlesson.html is ${size} bytes`);
    c.expect(fs.readFileSync(path.join(c.SITE, 'index.html'), 'utf8').includes('app/classlesson.html'), 'no link');
    c.expect(fs.readFileSync(path.join(c.SITE, 'sw.js'), 'utf8').includes('app/classlesson.html'), 'not cached');
  });

  await c.check('chromium: hand-in files fill the table; bad files are refused and change nothing; CSV', async () => {
    const browser = await chromium();
    try {
      const page = await browser.newPage();
      const errors = [];
      page.on('pageerror', e => errors.push(e.message));
      await page.setViewport({width: 1366, height: 900});
      await page.goto(PAGE);
      await checkFiles(page, s);
      await page.screenshot({path: path.join(c.WORK, 'class-table.png')});
      await page.evaluate(() => document.getElementById('project').click());
      await page.screenshot({path: path.join(c.WORK, 'class-projection.png')});
      const summary = await page.evaluate(() => document.getElementById('summary').textContent);
      c.expect(summary.includes('つまずき 1人') && !/出席番号|12/.test(summary.replace(/\d+人/g, '')),
               `projection: ${summary}`);
      c.expect(errors.length === 0, errors.join('; '));
    } finally {
      await browser.close();
    }
  });

  for (const [name, launchEngine] of [['firefox', launchFirefox], ['webkit', launchWebKit]]) {
    await c.check(`${name}: hand-in files fill the table; bad files are refused`, async () => {
      const engine = await launchEngine();
      try {
        let page;
        if (name === 'firefox') {
          page = await engine.browser.newPage();
          await page.goto(PAGE);
        } else {
          page = engine.page;
          await page.goto(PAGE);
          await page.watchErrors();
        }
        await checkFiles(page, s);
        const errors = name === 'webkit' ? await page.errors() : [];
        c.expect(errors.length === 0, errors.join('; '));
      } finally {
        await engine.close();
      }
    });
  }

  // The camera: the student's screen as Chromium's fake camera shows it.
  const pictures = [['as it is', []], ['tilted, blurred and dimmed', ['-background', 'white', '-rotate', '7',
                                                                    '-blur', '0x1.2', '-modulate', '70']]];
  for (const [how, transform] of pictures) {
    await c.check(`chromium: the student's code through the camera, ${how}, fills its row`, async () => {
      const mjpeg = path.join(c.WORK, `camera-${transform.length}.mjpeg`);
      // (A camera's picture: 1280 x 720, both even, as the fake camera needs.)
      execFileSync(CONVERT, [s.a.screen, ...transform, '-resize', '1280x720', '-background', 'white',
                             '-gravity', 'center', '-extent', '1280x720', '-quality', '90', 'jpg:' + mjpeg]);
      const browser = await chromium(['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
                                      '--use-file-for-fake-video-capture=' + mjpeg]);
      try {
        const page = await browser.newPage();
        await page.goto(PAGE);
        await page.waitForFunction(() => window.lkClass && window.lkClass.ready, {timeout: c.LONG});
        await page.evaluate(() => document.getElementById('camera-start').click());
        // Read at once, or given up after 200 frames.
        await page.waitForFunction(() => window.lkClass.reads > 0 || window.lkClass.errors.length > 0 ||
                                         window.lkClass.frames > 200, {timeout: c.LONG});
        let probes = await page.evaluate(() => window.lkClass);
        c.expect(probes.reads === 1, `camera: not read in ${probes.frames} frames ${JSON.stringify(probes.errors)} ` +
                                     await page.evaluate(() => document.getElementById('status').textContent));
        const t = await tableOf(page);
        c.expect(t.rows[12].cells[t.sets.indexOf('移項　ax+b=cx+d')] === '連続0', JSON.stringify(t.rows[12]));
        // The decoder's time per frame, over frames that follow.
        const seen = probes.frames;
        await page.waitForFunction(n => window.lkClass.frames >= n + 10, {timeout: c.LONG}, seen);
        probes = await page.evaluate(() => window.lkClass);
        c.expect(probes.reads === 1, `the same code was read ${probes.reads} times`);
        const decode = [...probes.decodeMs].sort((x, y) => x - y);
        console.log(`     read after ${seen} frames; decoding a frame: median ` +
                    `${decode[decode.length >> 1].toFixed(0)} ms; frame to row ${probes.frameToRow.toFixed(0)} ms`);
      } finally {
        await browser.close();
      }
    });
  }

  await c.check("今日の問題's code: from a file there is no address; served, its address starts the practice", async () => {
    const browser = await chromium();
    const server = await c.serve();
    try {
      const page = await browser.newPage();
      await page.goto(PAGE);
      await page.waitForFunction(() => window.lkClass && window.lkClass.ready, {timeout: c.LONG});
      const give = () => page.evaluate(() => {
        document.querySelector('#give-sets input[value="solve-x-plus-b"]').checked = true;
        document.getElementById('give-count').value = '4';
        document.getElementById('give-show').click();
        return {status: document.getElementById('status').textContent, url: window.lkClass.giveUrl || ''};
      });
      const local = await give();
      c.expect(local.status.includes('アドレスがありません') && !local.url, JSON.stringify(local));
      await page.goto(`http://127.0.0.1:${server.address().port}/app/classlesson.html`);
      await page.waitForFunction(() => window.lkClass && window.lkClass.ready, {timeout: c.LONG});
      const served = await give();
      c.expect(served.url.endsWith('/app/practicelesson.html#v1;s=solve-x-plus-b;n=4'), JSON.stringify(served));
      const student = await browser.newPage();
      await student.goto(served.url.replace('#', '?test=1#'));
      await student.waitForFunction(() => window.lkTest && window.lkTest.prompts > 0, {timeout: c.LONG});
      const words = await student.evaluate(() => JSON.stringify(window.lkTest.trace || []) + document.title);
      const prompt = await student.evaluate(() => window.lkTest.prompt.kind);
      c.expect(prompt === 'verdict', `the practice page did not start 今日の問題 (${prompt}) ${words.slice(0, 200)}`);
    } finally {
      server.close();
      await browser.close();
    }
  });
  c.finish();
}

main().catch(e => {
  console.error(e);
  process.exit(1);
});
