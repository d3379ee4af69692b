// Start-up beside a peer page: the time from navigation to our first menu
// drawn (window.lkTest.firstShown: the recorded first screen, or the
// program's own first picture if that came first) against the time a
// one-slide reveal.js page with KaTeX takes to be ready (window.__ready, see
// the peer's README), in each engine, for the served pages (app/, over http from the
// loopback address) and the single files (file://), cold and warm. The peer
// opens from file://, as its README says, and also served over http from
// the loopback address as ours are: Chromium opens every http page reopened
// in a renderer process of its own, and a file:// page in the process it
// had, with what that process kept compiled.
//   cold: every page in a fresh browser context (Chromium, Firefox) or a
//         fresh WebDriver session (WebKitGTK), ROUNDS rounds, the pages
//         interleaved within each round;
//   warm: each page reopened WARM times in a context of its own (the pages
//         interleaved again); the median of all but the first opening.
// Both are medians, in ms, and each of ours as a ratio of the peer's. Beside
// them, when our program itself had drawn (window.lkTest.firstPaint): from
// then on it answers keys and taps (those that came earlier wait for it).
// The practice program's recorded first screen is a device's with no record
// yet, as a fresh browser context is. Then the medians of our start's phases (lkTest.phases:
// the page's script, the WebAssembly compiled, the fonts loaded, the
// instance handed over, the program's main begun, its first picture).
//
//   node startup.js [chromium|firefox|webkit ...]   (LESSONKIT_SITE as for run.js;
//   LESSONKIT_PEER: the peer's folder, /work/shared/peer when not given;
//   LESSONKIT_STARTUP_ROUNDS: the cold rounds, 7 when not given;
//   LESSONKIT_THROTTLE: Chromium's CPU slowed down by each of these rates in
//   turn, e.g. "1,4,6", the peer measured again at each; 1 when not given.
//   Firefox and WebKitGTK run at full speed only.)
//
// The peer is copied into build-web/peer and its two packages installed
// there from the npm registry (once).
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const c = require('./common.js');
const {launchFirefox} = require('./browser.js');
const {launchWebKit} = require('./webdriver.js');

const ROUNDS = Math.max(5, Number(process.env.LESSONKIT_STARTUP_ROUNDS) || 7);
const THROTTLE = (process.env.LESSONKIT_THROTTLE || '1').split(',').map(Number);
if (!THROTTLE.every(rate => rate >= 1)) throw new Error('LESSONKIT_THROTTLE: rates of 1 or more: ' + process.env.LESSONKIT_THROTTLE);
const PHASES = ['script', 'compiled', 'fonts', 'instance', 'main', 'picture'];
const WARM = 6;
const PEER_SOURCE = process.env.LESSONKIT_PEER || '/work/shared/peer';
const PEER = path.join(c.ROOT, 'build-web', 'peer');

const median = xs => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

// The peer's copy with reveal.js 5 and KaTeX 0.16 beside it.
function setUpPeer() {
  fs.mkdirSync(PEER, {recursive: true});
  for (const name of ['slides.html', 'README.md'])
    fs.copyFileSync(path.join(PEER_SOURCE, name), path.join(PEER, name));
  const installed = ['reveal.js/dist/reveal.js', 'katex/dist/katex.min.js']
    .every(file => fs.existsSync(path.join(PEER, 'node_modules', file)));
  if (!installed) {
    if (!fs.existsSync(path.join(PEER, 'package.json')))
      fs.writeFileSync(path.join(PEER, 'package.json'), '{"private": true}\n');
    execFileSync('npm', ['install', '--no-audit', '--no-fund', 'reveal.js@5', 'katex@0.16'],
                 {cwd: PEER, stdio: 'inherit'});
  }
  return 'file://' + path.join(PEER, 'slides.html');
}

// What each engine needs: a fresh context (its CPU slowed down `rate`
// times where the engine can) and a way to open a page in it and read one
// number once it is there.
// A browser that puppeteer drives: a fresh context is a new browser context.
async function puppeteerEngine({browser, close}, throttles = false) {
  return {
    version: await browser.version(),
    throttles,
    context: async (rate = 1) => {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.setViewport({width: 1366, height: 720});
      // Throttled only while a page opens (see c.throttle).
      const open = async (url, probes) => {
        if (throttles) await c.throttle(page, rate);
        try {
          return await openAndRead(page, url, probes);
        } finally {
          if (throttles) await c.throttle(page, 1);
        }
      };
      return {open, close: () => context.close()};
    },
    close,
  };
}

const ENGINES = {
  chromium: async () => puppeteerEngine(await c.launch(), true),
  firefox: async () => puppeteerEngine(await launchFirefox()),
  // WebDriver drives one window per session: a fresh context is a fresh
  // session, that is a fresh browser.
  async webkit() {
    let version = '';
    return {
      get version() { return version; },
      throttles: false,
      context: async () => {
        const session = await launchWebKit();
        version = session.version;
        await session.page.goto('about:blank');
        await session.page.setViewport({width: 1366, height: 720});
        return {open: (url, probes) => openAndRead(session.page, url, probes), close: session.close};
      },
      close: async () => {},
    };
  },
};

// Opens `url` (after a blank page, so that a reopening is a navigation) and
// gives the page's numbers `probes` once they are all set, then our start's
// phases (null for the peer).
async function openAndRead(page, url, probes) {
  await page.goto('about:blank');
  await page.goto(url);
  const read = new Function(`return [${probes.join(', ')}, window.lkTest ? window.lkTest.phases : null];`);
  const all = new Function(`return [${probes.join(', ')}].every(Boolean);`);
  await page.waitForFunction(all, {timeout: c.LONG, polling: 20});
  return page.evaluate(read);
}

// The pages compared, each with the number that tells when it was ready.
function pages(peer, peerServed, base) {
  const ours = ['(window.lkTest && window.lkTest.firstShown) || 0', '(window.lkTest && window.lkTest.firstPaint) || 0'];
  return [
    {name: 'peer', url: peer, probe: ['window.__ready || 0']},
    {name: 'peer served', url: peerServed, probe: ['window.__ready || 0']},
    // (A site built before app/ existed served its single files.)
    ...c.TOURED.map(p => ({name: `served ${p}`, probe: ours,
                           url: `${base}${fs.existsSync(path.join(c.SITE, 'app')) ? 'app/' : ''}${p}.html?test=1`})),
    ...c.TOURED.map(p => ({name: `single ${p}`, url: c.fileUrl(p), probe: ours})),
  ];
}

// The figures of one engine at one rate: {version, rate, cold: {page: ms},
// warm: {page: ms}, coldReady, warmReady: {page: ms}} (the program's own
// first picture), coldPhases, warmPhases: {page: {phase: ms}}.
async function measure(engine, peer, peerServed, base, rate) {
  const list = pages(peer, peerServed, base);
  const lists = () => Object.fromEntries(list.map(p => [p.name, []]));
  const cold = lists(), warm = lists(), coldReady = lists(), warmReady = lists();
  const coldPhases = lists(), warmPhases = lists();
  for (let round = 0; round < ROUNDS; ++round) {
    for (const p of list) {
      const context = await engine.context(rate);
      try {
        const [shown, ready, phases] = await context.open(p.url, p.probe);
        cold[p.name].push(shown);
        coldReady[p.name].push(phases ? ready : shown);
        if (phases) coldPhases[p.name].push(phases);
      } finally {
        await context.close();
      }
    }
  }
  const contexts = [];
  try {
    for (const p of list) contexts.push(await engine.context(rate));
    for (let round = 0; round < WARM; ++round)
      for (const [i, p] of list.entries()) {
        const [shown, ready, phases] = await contexts[i].open(p.url, p.probe);
        warm[p.name].push(shown);
        warmReady[p.name].push(phases ? ready : shown);
        if (phases) warmPhases[p.name].push(phases);
      }
  } finally {
    for (const context of contexts) await context.close();
  }
  const medians = (all, skip) => Object.fromEntries(Object.entries(all).map(([k, v]) => [k, median(v.slice(skip))]));
  // Each phase's median over the starts that reached it (an engine may
  // not have one, e.g. the compiled module of a cache).
  const phaseMedians = (all, skip) => Object.fromEntries(Object.entries(all).filter(([, v]) => v.length).map(
    ([k, v]) => [k, Object.fromEntries(PHASES.map(phase => {
      const reached = v.slice(skip).map(p => p[phase]).filter(Boolean);
      return [phase, reached.length ? median(reached) : NaN];
    }))]));
  return {version: engine.version, rate, cold: medians(cold, 0), warm: medians(warm, 1),
          coldReady: medians(coldReady, 0), warmReady: medians(warmReady, 1),
          coldPhases: phaseMedians(coldPhases, 0), warmPhases: phaseMedians(warmPhases, 1)};
}

// Measures the engines named, Chromium at each rate of LESSONKIT_THROTTLE,
// and prints the tables; gives the figures, {engine: ...} at full speed and
// {"chromium 4x": ...} slowed down.
async function compare(engines) {
  const peer = setUpPeer();
  const server = await c.serve();
  const base = `http://127.0.0.1:${server.address().port}/`;
  const peerServer = await c.serve(PEER);
  const peerServed = `http://127.0.0.1:${peerServer.address().port}/slides.html`;
  const figures = {};
  const load = () => os.loadavg().map(x => x.toFixed(2)).join(' ');
  console.log(`start-up: ${ROUNDS} cold rounds, ${WARM} warm openings; load average at the start ${load()}`);
  try {
    for (const name of engines) {
      const engine = await ENGINES[name]();
      try {
        for (const rate of engine.throttles ? THROTTLE : [1])
          figures[rate === 1 ? name : `${name} ${rate}x`] = await measure(engine, peer, peerServed, base, rate);
      } finally {
        await engine.close();
      }
    }
  } finally {
    server.close();
    peerServer.close();
  }
  // Each of ours as a ratio of the peer from file://, and each served page
  // also of the peer served.
  const lines = ['| engine | page | cold ms | cold / peer | warm ms | warm / peer | program cold / warm ms | / peer | / peer served |',
                 '|---|---|---|---|---|---|---|---|---|'];
  for (const [name, f] of Object.entries(figures)) {
    for (const page of Object.keys(f.cold)) {
      const ratio = (kind, base = kind, peer = 'peer') => (f[kind][page] / f[base][peer]).toFixed(2) + 'x';
      if (page === 'peer') {
        lines.push(`| ${name} (${f.version}) | peer | ${f.cold.peer.toFixed(0)} | | ${f.warm.peer.toFixed(0)} | | | | |`);
        continue;
      }
      if (page === 'peer served') {
        lines.push(`| ${name} | peer served | ${f.cold[page].toFixed(0)} | ${ratio('cold')} | ` +
                   `${f.warm[page].toFixed(0)} | ${ratio('warm')} | | | |`);
        continue;
      }
      const served = page.startsWith('served ')
        ? `${ratio('coldReady', 'cold', 'peer served')} / ${ratio('warmReady', 'warm', 'peer served')}` : '';
      lines.push(`| ${name} | ${page} | ${f.cold[page].toFixed(0)} | ${ratio('cold')} | ${f.warm[page].toFixed(0)} | ` +
                 `${ratio('warm')} | ${f.coldReady[page].toFixed(0)} / ${f.warmReady[page].toFixed(0)} | ` +
                 `${ratio('coldReady', 'cold')} / ${ratio('warmReady', 'warm')} | ${served} |`);
    }
  }
  lines.push('', `| engine | page | start | ${PHASES.join(' | ')} |`, `|---|---|---|${PHASES.map(() => '---|').join('')}`);
  for (const [name, f] of Object.entries(figures))
    for (const kind of ['cold', 'warm'])
      for (const [page, phases] of Object.entries(f[kind + 'Phases']))
        lines.push(`| ${name} | ${page} | ${kind} | ${PHASES.map(p => phases[p].toFixed(0)).join(' | ')} |`);
  lines.push('', `load average at the end ${load()}`);
  console.log(lines.join('\n'));
  return figures;
}

module.exports = {compare, ENGINES: Object.keys(ENGINES)};

if (require.main === module) {
  const engines = process.argv.slice(2);
  const done = code => {
    fs.rmSync(c.WORK, {recursive: true, force: true});
    process.exit(code);
  };
  compare(engines.length ? engines : Object.keys(ENGINES)).then(() => done(0), e => {
    console.log('FAIL', e.stack || e);
    done(1);
  });
}
