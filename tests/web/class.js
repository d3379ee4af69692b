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
// Chromium's fake camera shows a motion JPEG's frames at this rate.
const FAKE_CAMERA_FPS = 30;

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

// `count` students' 先生に見せる screens (seats 1.. in turn, class 1-3,
// different sets and mistakes), each transformed in turn and sized
// to `size`: [{seat, file}].
function studentCodes(count, transforms, size) {
  const codes = [];
  for (let i = 0; i < count; ++i) {
    const seat = 1 + (i % 50);
    const sets = {};
    // Different figures per student: some sets, a few mistakes.
    const ids = ['solve-x-plus-b', 'solve-ax-cx-d', 'solve-both-sides', 'solve-parentheses', 'solve-decimals'];
    for (let k = 0; k <= i % ids.length; ++k)
      sets[ids[(i + k) % ids.length]] = set({tried: 3 + i + k, solved: 2 + k, mistakes: {[1 + (i + k) % 9]: 1 + k},
                                             today_tried: 1 + k, last: [k % 3]});
    const one = student(`code-${size}-${i}`, `14\r${seat}\r2\r1-3\r3\r`, {version: 2, seat: 0, class: '', sets});
    const picture = path.join(c.WORK, `code-${size}-${i}.png`);
    execFileSync(CONVERT, [one.screen, '-background', 'white', ...transforms[i % transforms.length],
                           '-resize', size, '-gravity', 'center', '-extent', size, picture]);
    codes.push({seat, file: picture});
  }
  return codes;
}

// Opens the class page (or `url`) and waits until it is ready.
async function openClass(page, url = PAGE) {
  await page.goto(url);
  await page.waitForFunction(() => window.lkClass && window.lkClass.ready, {timeout: c.LONG});
}

// Chromium whose camera shows the motion JPEG `mjpeg`, on the class page.
async function withCamera(mjpeg) {
  const browser = await chromium(['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
                                  '--use-file-for-fake-video-capture=' + mjpeg]);
  const page = await browser.newPage();
  await openClass(page);
  return {browser, page};
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
      // The CSV: UTF-8 with a BOM for Excel, a line per seat and set.
      const csv = await page.evaluate(async () => {
        let blob = null;
        const make = URL.createObjectURL;
        URL.createObjectURL = b => (blob = b, make(b));
        document.getElementById('csv').click();
        URL.createObjectURL = make;
        return new Uint8Array(await blob.arrayBuffer()).reduce((t, b) => t + String.fromCharCode(b), '');
      });
      const text = Buffer.from(csv, 'latin1').toString('utf8');
      c.expect(text.startsWith('\uFEFF出席番号,') && text.includes('\r\n7,かっこのある方程式,つまずき,6,2,0,6,0,9,3,'),
               `CSV: ${text.slice(0, 300)}`);
      // The pictures of the README: twelve seats, the mistakes' row below.
      await page.evaluate(() => {
        const size = document.getElementById('size');
        size.value = '12';
        size.dispatchEvent(new Event('change'));
      });
      await page.screenshot({path: path.join(c.WORK, 'class-table.png')});
      await page.evaluate(() => document.getElementById('project').click());
      await page.screenshot({path: path.join(c.WORK, 'class-projection.png')});
      // Counts only: no seat anywhere on the screen.
      const shown = await page.evaluate(() => document.body.innerText);
      c.expect(shown.includes('つまずき 1人') && !shown.includes('出席番号'), `projection: ${shown}`);
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
      const {browser, page} = await withCamera(mjpeg);
      try {
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

  // The decoder over many students' codes (LESSONKIT_CLASS_CODES of them,
  // the long label's 50; 6 otherwise), each picture transformed as a
  // camera might see it: how many it reads, and its time per picture.
  const count = Number(process.env.LESSONKIT_CLASS_CODES) || 6;
  const transforms = [[], ['-rotate', '9'], ['-blur', '0x1.5'], ['-modulate', '55'],
                      ['-rotate', '-6', '-blur', '0x1', '-modulate', '70']];
  await c.check(`the decoder over ${count} students' codes, tilted, blurred and dimmed in turn`, async () => {
    const codes = studentCodes(count, transforms, '800x450');
    const browser = await chromium();
    try {
      const page = await browser.newPage();
      await openClass(page);
      const results = await page.evaluate(async list => {
        const out = [];
        for (const {seat, data} of list) {
          const image = new Image();
          image.src = 'data:image/png;base64,' + data;
          await image.decode();
          const canvas = document.createElement('canvas');
          canvas.width = image.width;
          canvas.height = image.height;
          const ctx = canvas.getContext('2d');
          ctx.drawImage(image, 0, 0);
          out.push({seat, ...await window.lkClass.decode(ctx.getImageData(0, 0, canvas.width, canvas.height))});
        }
        return out;
      }, codes.map(({seat, file}) => ({seat, data: fs.readFileSync(file).toString('base64')})));
      const read = results.filter(r => r.seat === r.read).length;
      const times = results.map(r => r.ms).sort((x, y) => x - y);
      console.log(`     read ${read} of ${count}; per picture: median ${times[times.length >> 1].toFixed(1)} ms, ` +
                  `slowest ${times[times.length - 1].toFixed(1)} ms`);
      c.expect(read === count, `unread: ${JSON.stringify(results.filter(r => r.seat !== r.read))}`);
    } finally {
      await browser.close();
    }
  });

  // Students one after another in front of the camera, 2 s each (the fake
  // camera's picture is a motion JPEG of their frames): every row filled,
  // in how long.
  const queue = Math.max(3, Math.round(count * 0.8));
  await c.check(`the camera over ${queue} students' codes shown one after another, 2 s each`, async () => {
    const codes = studentCodes(queue, transforms, '1280x720');
    const mjpeg = path.join(c.WORK, 'queue.mjpeg');
    const out = fs.openSync(mjpeg, 'w');
    for (const {file} of codes) {
      const frame = execFileSync(CONVERT, [file, '-quality', '85', 'jpg:-']);
      for (let f = 0; f < 2 * FAKE_CAMERA_FPS; ++f) fs.writeSync(out, frame);
    }
    fs.closeSync(out);
    const {browser, page} = await withCamera(mjpeg);
    try {
      const started = Date.now();
      await page.evaluate(() => document.getElementById('camera-start').click());
      const seats = new Set(codes.map(x => x.seat));
      await page.waitForFunction(n => document.querySelectorAll('#table tbody tr:not(.unread)').length >= n,
                                 {timeout: 600000, polling: 200}, seats.size);
      const seconds = (Date.now() - started) / 1000;
      const probes = await page.evaluate(() => window.lkClass);
      console.log(`     ${seats.size} students read in ${seconds.toFixed(1)} s (${probes.frames} frames scanned)`);
      c.expect(seconds < 180, `${seconds} s`);
    } finally {
      await browser.close();
    }
  });

  await c.check("今日の問題's code: from a file there is no address; served, its address starts the practice", async () => {
    const browser = await chromium();
    const server = await c.serve();
    try {
      const page = await browser.newPage();
      await openClass(page);
      const give = () => page.evaluate(() => {
        document.querySelector('#give-sets input[value="solve-x-plus-b"]').checked = true;
        document.getElementById('give-count').value = '4';
        document.getElementById('give-show').click();
        return {status: document.getElementById('status').textContent, url: window.lkClass.giveUrl || ''};
      });
      const local = await give();
      c.expect(local.status.includes('アドレスがありません') && !local.url, JSON.stringify(local));
      await openClass(page, `http://127.0.0.1:${server.address().port}/app/classlesson.html`);
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
