// WebKitGTK for the browser tests: Debian's WebKitWebDriver (W3C WebDriver,
// the driver of webkit2gtk-driver) starting Debian's MiniBrowser under an
// Xvfb of its own, and a small W3C WebDriver client over HTTP that offers
// the few page calls the tests use, named as puppeteer names them
// (evaluate, waitForFunction, keyboard, touchscreen, close), so that the
// shared helpers of common.js take either.
//
// WebKitWebDriver's capabilities (Source/WebDriver/gtk/WebDriverServiceGtk.cpp):
// "webkitgtk:browserOptions" {binary, args, useOverlayScrollbars}; without
// them it starts MiniBrowser with --automation. MiniBrowser has no headless
// mode, hence the X server.
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');
const {emptyFontconfig} = require('./browser.js');

const LONG = 120000;
// The longest a driver may take to answer: more than a script's own limit.
const REQUEST_LIMIT = LONG + 60000;
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// Waits for `probe` to give a truthy value, at most `limit` ms.
async function until(probe, limit, what) {
  const end = Date.now() + limit;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > end) throw new Error('timed out waiting for ' + what);
    await sleep(50);
  }
}

// Xvfb on a display it picks itself (-displayfd), as tests/x11/common.inc.
async function startXvfb(dir) {
  const file = path.join(dir, 'display');
  const out = fs.openSync(file, 'w');
  const log = fs.openSync(path.join(dir, 'xvfb.log'), 'w');
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1920x1200x24', '-nolisten', 'tcp'],
                     {stdio: ['ignore', log, log, out]});
  fs.closeSync(out);
  fs.closeSync(log);
  let exited = false;
  xvfb.on('exit', () => { exited = true; });
  const display = await until(() => {
    if (exited) throw new Error('Xvfb ended: ' + fs.readFileSync(path.join(dir, 'xvfb.log'), 'utf8'));
    const text = fs.readFileSync(file, 'utf8');
    return text.endsWith('\n') ? ':' + text.trim() : null;
  }, 30000, 'Xvfb');
  return {display, process: xvfb};
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

// One W3C WebDriver request; the value of the answer, or an error.
function request(port, method, url, body) {
  const data = body === undefined ? null : Buffer.from(JSON.stringify(body));
  return new Promise((resolve, reject) => {
    const req = http.request({host: '127.0.0.1', port, method, path: url, headers: data ? {
      'Content-Type': 'application/json; charset=utf-8', 'Content-Length': data.length} : {}}, res => {
      const chunks = [];
      res.on('data', chunk => chunks.push(chunk));
      res.on('end', () => {
        const text = Buffer.concat(chunks).toString('utf8');
        let answer;
        try {
          answer = JSON.parse(text);
        } catch (e) {
          reject(new Error(`${method} ${url}: ${res.statusCode} ${text}`));
          return;
        }
        if (res.statusCode !== 200) {
          const v = answer.value || {};
          reject(new Error(`${method} ${url}: ${v.error} ${v.message}`));
        } else {
          resolve(answer.value);
        }
      });
    });
    req.on('error', reject);
    // A driver that never answers (a browser gone still) fails the request
    // rather than the whole run's time limit.
    req.setTimeout(REQUEST_LIMIT, () => req.destroy(new Error(`${method} ${url}: no answer in ${REQUEST_LIMIT / 1000} s`)));
    if (data) req.write(data);
    req.end();
  });
}

// WebDriver's code points for the named keys the tests press.
const KEYS = {Enter: '\uE007', Space: ' ', Backspace: '\uE003', ArrowLeft: '\uE012', ArrowRight: '\uE014',
              PageUp: '\uE00E', PageDown: '\uE00F', F2: '\uE032', Escape: '\uE00C'};

// A page of a WebDriver session (WebDriver drives one top-level window).
class Page {
  constructor(session) {
    this.session = session;
    this.lkErrors = [];
    this.keyboard = {
      press: key => this.keys([KEYS[key] || key]),
      type: text => this.keys([...text]),
    };
    this.touchscreen = {tap: (x, y) => this.tap(x, y)};
  }
  send(method, what, body) { return this.session.send(method, what, body); }
  goto(url) { return this.send('POST', '/url', {url}); }
  url() { return this.send('GET', '/url'); }
  // As puppeteer's: a function and its arguments (JSON values).
  evaluate(fn, ...args) {
    return this.send('POST', '/execute/sync', {
      script: `return (${fn.toString()}).apply(null, arguments);`, args});
  }
  // Polls `fn` in the page every `polling` ms until it gives a truthy value.
  async waitForFunction(fn, options = {}, ...args) {
    const limit = options.timeout || LONG;
    const polling = typeof options.polling === 'number' ? Math.max(options.polling, 10) : 20;
    const end = Date.now() + limit;
    for (;;) {
      const value = await this.send('POST', '/execute/async', {
        script: `const done = arguments[arguments.length - 1];
                 Promise.resolve((${fn.toString()}).apply(null, Array.from(arguments).slice(0, -1)))
                   .then(done, e => done({lkError: String(e)}));`, args});
      if (value && value.lkError) throw new Error(value.lkError);
      if (value) return value;
      if (Date.now() > end) throw new Error(`waitForFunction timed out after ${limit} ms: ${fn}`);
      await sleep(polling);
    }
  }
  keys(chars) {
    const actions = [];
    for (const ch of chars) actions.push({type: 'keyDown', value: ch}, {type: 'keyUp', value: ch});
    return this.actions([{type: 'key', id: 'keyboard', actions}]);
  }
  // A touch tap at (x, y) in CSS px of the viewport.
  tap(x, y) {
    return this.actions([{type: 'pointer', id: 'finger', parameters: {pointerType: 'touch'}, actions: [
      {type: 'pointerMove', duration: 0, origin: 'viewport', x: Math.round(x), y: Math.round(y)},
      {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]}]);
  }
  async actions(list) {
    await this.send('POST', '/actions', {actions: list});
    await this.send('DELETE', '/actions');
  }
  // The viewport's size in CSS px: the window is sized until it is that.
  // (On a busy machine the new size can take a while to reach the page:
  // each attempt waits for the viewport to change, at most 10 s.)
  async setViewport({width, height}) {
    const inner = () => this.evaluate(() => [window.innerWidth, window.innerHeight]);
    let now = await inner();
    for (let attempt = 0; attempt < 5 && (now[0] !== width || now[1] !== height); ++attempt) {
      const rect = await this.send('GET', '/window/rect');
      await this.send('POST', '/window/rect', {x: 0, y: 0, width: rect.width + width - now[0],
                                              height: rect.height + height - now[1]});
      const before = now;
      const end = Date.now() + 10000;
      do {
        await sleep(50);
        now = await inner();
      } while (now[0] === before[0] && now[1] === before[1] && Date.now() < end);
    }
    if (now[0] !== width || now[1] !== height) throw new Error(`the viewport is ${now}, not ${width}x${height}`);
  }
  // Collects the page's uncaught errors and console errors into lkErrors
  // (WebDriver classic has no events): called after each load.
  async watchErrors() {
    await this.evaluate(() => {
      window.lkTestErrors = [];
      window.addEventListener('error', e => window.lkTestErrors.push(String(e.message)));
      window.addEventListener('unhandledrejection', e => window.lkTestErrors.push(String(e.reason)));
      const error = console.error;
      console.error = (...args) => { window.lkTestErrors.push(args.join(' ')); error.apply(console, args); };
    });
  }
  async errors() {
    return this.evaluate(() => window.lkTestErrors || []);
  }
  close() { return Promise.resolve(); }
}

// Starts Xvfb, WebKitWebDriver and a session; gives {page, close, version}.
async function launchWebKit() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'lessonkit-webkit-'));
  const children = [];
  // The X server and the driver (and with them the browser) end with this
  // process, however it ends.
  const stop = () => { for (const child of children) if (child.exitCode === null) child.kill(); };
  const interrupted = () => { stop(); process.exit(1); };
  process.on('exit', stop);
  for (const signal of ['SIGINT', 'SIGTERM']) process.once(signal, interrupted);
  const close = async session => {
    // (A run may start many sessions one after another.)
    process.removeListener('exit', stop);
    for (const signal of ['SIGINT', 'SIGTERM']) process.removeListener(signal, interrupted);
    if (session) await request(session.port, 'DELETE', `/session/${session.id}`).catch(() => {});
    // The driver first, then the X server, each waited for.
    for (const child of [...children].reverse()) {
      if (child.exitCode !== null || child.signalCode !== null) continue;
      const ended = new Promise(resolve => child.once('exit', resolve));
      child.kill();
      await Promise.race([ended, sleep(10000)]);
    }
    fs.rmSync(dir, {recursive: true, force: true});
  };
  try {
    const x = await startXvfb(dir);
    children.push(x.process);
    let driver, port;
    const log = fs.openSync(path.join(dir, 'driver.log'), 'w');
    const env = {...process.env, DISPLAY: x.display, FONTCONFIG_FILE: emptyFontconfig(dir),
                 // Neither a session bus nor a GPU is there: software drawing.
                 WEBKIT_DISABLE_COMPOSITING_MODE: '1', LIBGL_ALWAYS_SOFTWARE: '1',
                 NO_AT_BRIDGE: '1', GTK_A11Y: 'none'};
    // The port is picked free, then taken by the driver: another program
    // can take it between, so try again a few times.
    for (let attempt = 0; attempt < 5; ++attempt) {
      port = await freePort();
      driver = spawn(process.env.WEBKITWEBDRIVER || 'WebKitWebDriver', ['--port=' + port],
                     {stdio: ['ignore', log, log], env});
      const up = await until(async () => {
        if (driver.exitCode !== null) return 'ended';
        return request(port, 'GET', '/status').then(() => 'up', () => null);
      }, 30000, 'WebKitWebDriver');
      if (up === 'up') break;
    }
    fs.closeSync(log);
    children.push(driver);
    const answer = await request(port, 'POST', '/session', {capabilities: {alwaysMatch: {
      'webkitgtk:browserOptions': {args: ['--automation']}}}});
    const session = {port, id: answer.sessionId, caps: answer.capabilities,
                     send: (method, what, body) => request(port, method, `/session/${answer.sessionId}${what}`, body)};
    await session.send('POST', '/timeouts', {script: LONG, pageLoad: LONG});
    return {page: new Page(session), close: () => close(session),
            version: `${session.caps.browserName} ${session.caps.browserVersion}`};
  } catch (e) {
    await close(null);
    throw e;
  }
}

module.exports = {launchWebKit, KEYS};
