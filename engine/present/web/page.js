// The page around a program: its fonts, its canvases, its keys, the pointer
// (mouse, touch and pen, on the overlay's canvas above the lesson's), full
// screen, the end of the program, and the offline cache. The program's
// calls into the page (web_page.js) land on `page`; the page's calls into
// the program are its exports (_lk_key, _lk_pointer, _lk_overlay_tick,
// _lk_resized). The build makes one HTML file of it that carries this
// script, the program's script, its WebAssembly and the fonts (as base64
// text): the single file, and the served page (the same, beside the site's
// manifest and offline worker).
'use strict';
(async function () {
  const scriptStart = performance.now();
  // {title, create, root, wasm, fonts: [{family, weight, style, src}]}:
  // root is where the site's manifest and worker stand; wasm and each
  // font's src "#ID", the base64 text of the page's element ID, read into
  // bytes here (`carried`; a data: address would go through the browser's
  // loader, several times slower).
  const config = window.lkPage;
  const carried = src => {
    const text = document.getElementById(src.slice(1)).textContent;
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  };
  const params = new URLSearchParams(location.search);
  // The fragment: a teacher's request to the practice program, read once
  // here (the program asks for it as it starts; a later change of the
  // address does nothing).
  const request = location.hash.slice(1);

  const canvas = document.getElementById('lesson');
  const ctx = canvas.getContext('2d', {alpha: false});
  // The keypad, the toolbar and ink: drawn on a transparent canvas above,
  // which also takes the pointer.
  const top = document.getElementById('overlay');
  const topCtx = top.getContext('2d');

  // A test run's probes, all in one object: only with a test parameter in
  // the address. A teacher's page has none of it.
  const testing = ['test', 'seed', 'tour', 'trace', 'pictures'].some(p => params.has(p));
  const test = testing ? makeTestProbes(scriptStart) : null;

  // The WebAssembly compiles and the fonts load once the page is read,
  // after the first screen is drawn. Every face is loaded before the
  // program's first draw. (?fault=font
  // and ?fault=glyph exist for the tests that show a wrong font or a
  // missing glyph being noticed: the Gothic gets the serif's bytes, or loses
  // its "の".)
  // (The WebAssembly's and the fonts' elements follow this script.)
  const parsed = document.readyState !== 'loading' ? Promise.resolve()
    : new Promise(resolve => document.addEventListener('DOMContentLoaded', resolve, {once: true}));
  const compiled = parsed.then(() => compileCarried(config.wasm));
  const fault = params.get('fault');
  const serif = config.fonts.find(f => f.family !== config.fonts[0].family) || config.fonts[0];
  const fontsLoaded = parsed.then(() => Promise.all(config.fonts.map(font => {
    const descriptors = {weight: font.weight, style: font.style};
    if (fault === 'glyph') descriptors.unicodeRange = 'U+0-306D, U+306F-10FFFF';
    const src = fault === 'font' && font !== serif ? serif.src : font.src;
    const face = new FontFace(font.family, carried(src), descriptors);
    document.fonts.add(face);
    return face.load();
  })));
  if (test) {
    compiled.then(() => test.phase('compiled'), () => {});
    fontsLoaded.then(() => test.phase('fonts'), () => {});
  }

  // The first screen, as the build recorded the program drawing it, drawn
  // at once, before the fonts and the WebAssembly are there. The program
  // draws the same when it starts, and then takes what was typed or tapped
  // meanwhile. (Whatever goes wrong there, the program still starts and
  // draws it.)
  let repaint = false;
  if (config.first && firstApplies(config.first)) {
    try {
      const {width, height} = fit();
      lkCanvas2d.screen(ctx, config.first, width, height);
      if (test) test.shown('recorded');
    } catch (e) {
      if (test) test.errors.push('first screen: ' + e);
    }
    repaint = true;
  }

  const args = [];
  if (params.has('seed')) args.push('--seed', params.get('seed'));
  if (params.has('tour')) args.push('--tour', params.get('tour'));
  if (params.has('trace')) args.push('--trace');
  if (params.has('pictures')) args.push('--pictures');

  let Module = null;
  // Keys and taps that come before the program has started, in order.
  let early = [];
  let wakeUp = null;
  const page = {
    request: request,
    ctx: ctx,
    overlayCtx: topCtx,
    test: test,
    fit,
    sleep(ms, done) {
      if (test) test.idle = true;
      const timer = setTimeout(() => page.wake(), ms);
      wakeUp = () => {
        clearTimeout(timer);
        if (test) test.idle = false;
        done();
      };
    },
    // Ends the program's sleep (a key, a tap, a resize) as soon as the
    // call that asked for it has returned: the program's stack resumes
    // only outside any call into it.
    wake() {
      const w = wakeUp;
      wakeUp = null;
      if (w) queueMicrotask(w);
    },
    toggleFullscreen() {
      const root = document.documentElement;
      const current = document.fullscreenElement || document.webkitFullscreenElement;
      if (current) {
        (document.exitFullscreen || document.webkitExitFullscreen).call(document);
      } else {
        const request = root.requestFullscreen || root.webkitRequestFullscreen;
        if (request) {
          const done = request.call(root);
          if (done && done.catch) done.catch(() => {});
        }
      }
    },
    painted(view) { if (test) test.painted(view); },
    // The program's first call into the page (web_page.js): its main has
    // begun.
    entered() { if (test && !test.phases.main) test.phase('main'); },
    // The print view: the program hands over its pages one by one (SVG
    // documents), then shows them and waits until the view is closed.
    // A page's SVG and its paper in millimetres.
    addPrintPage(svg, width, height) {
      if (!print.pages.length) print.firstAt = performance.now();
      print.pages.push({svg, width, height});
    },
    showPrint(done) { openPrint(done); },
    // A record for the teacher: the device's share sheet where it takes
    // files (1), else a download (2); 0 when neither works. A share that
    // is refused (no recent tap, say) becomes a download.
    handIn(name, text) {
      const download = () => {
        const url = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
        const a = document.createElement('a');
        a.href = url;
        a.download = name;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
      };
      try {
        if (test) test.handedIn = {name, text};
        const file = new File([text], name, {type: 'text/plain'});
        if (navigator.canShare && navigator.canShare({files: [file]})) {
          navigator.share({files: [file], title: name}).catch((e) => {
            if (e && e.name !== 'AbortError') download();
          });
          return 1;
        }
        download();
        return 2;
      } catch (e) {
        return 0;
      }
    },
    // The program ended (its quit number): a blank page that starts it
    // again on a tap.
    ended() {
      if (test) test.endedAt = performance.now();
      document.body.classList.add('ended');
    },
  };

  // The print view (#print): each page an SVG in a block of its paper's
  // size (the program gives it with the page; the printer's paper is the
  // first page's), scaled to fit
  // the window on screen and printed edge to edge (page.html's print
  // styles), its text real text in the page's fonts. 印刷 prints with the
  // browser's own dialog; 戻る (or Escape) closes the view and the program
  // goes on. Nothing in it is editable, so no on-screen keyboard rises.
  const printView = document.getElementById('print');
  const sheets = document.getElementById('sheets');
  const paperRule = document.getElementById('paper');
  const print = {pages: [], firstAt: 0, done: null};
  const openPrint = done => {
    const fragment = document.createDocumentFragment();
    for (const page of print.pages) {
      const sheet = document.createElement('div');
      sheet.className = 'sheet';
      sheet.style.setProperty('--paper-width', page.width);
      sheet.style.setProperty('--paper-height', page.height);
      sheet.innerHTML = page.svg;
      fragment.appendChild(sheet);
    }
    if (print.pages.length) {
      const first = print.pages[0];
      paperRule.textContent = `@page { size: ${first.width}mm ${first.height}mm; }`;
    }
    const count = print.pages.length;
    print.pages = [];
    sheets.replaceChildren(fragment);
    print.done = done;
    document.body.classList.add('printing');
    printView.scrollTop = 0;
    if (test) test.printShown(count, print.firstAt);
  };
  const closePrint = () => {
    const done = print.done;
    if (!done) return;
    print.done = null;
    document.body.classList.remove('printing');
    sheets.replaceChildren();
    if (test) test.print.closedAt = performance.now();
    queueMicrotask(done);
  };
  document.getElementById('print-go').addEventListener('click', () => window.print());
  document.getElementById('print-back').addEventListener('click', closePrint);

  // The overlay's toolbar fades frame by frame while it shows.
  let ticking = false;
  const frame = () => {
    ticking = false;
    if (Module && Module._lk_overlay_tick(performance.now())) animate();
  };
  const animate = () => {
    if (!ticking) {
      ticking = true;
      requestAnimationFrame(frame);
    }
  };

  // With a Japanese input method on, a key may still come as "Process"
  // (keyCode 229) or while composing, although nothing editable has focus.
  // Such a key is read by its place on the keyboard. The Enter that commits
  // a composition is sent again by WebKit as a plain Enter after
  // compositionend: that second Enter is dropped, so an answer is never
  // given twice. What a shifted key types depends on the keyboard's layout,
  // so a shifted key read by its place gives only Enter or Backspace.
  const byCode = {Minus: '-', NumpadSubtract: '-', Slash: '/', NumpadDivide: '/', Period: '.',
                  NumpadDecimal: '.', NumpadAdd: '+', NumpadMultiply: '*', KeyX: 'x',
                  Enter: 'Enter', NumpadEnter: 'Enter', Backspace: 'Backspace'};
  for (let d = 0; d <= 9; ++d) byCode['Digit' + d] = byCode['Numpad' + d] = String(d);
  let composedEnter = false, afterComposition = false;
  window.addEventListener('compositionend', () => { afterComposition = composedEnter; });
  const keyOf = event => {
    if (event.ctrlKey || event.metaKey || event.altKey) return '';
    const composing = event.isComposing || event.key === 'Process' || event.keyCode === 229;
    if (!composing) {
      const repeat = event.key === 'Enter' && (afterComposition || composedEnter);
      composedEnter = afterComposition = false;
      return repeat ? null : event.key;
    }
    let key = byCode[event.code] || '';
    if (event.shiftKey && key.length === 1) key = '';
    composedEnter = key === 'Enter';
    afterComposition = false;
    return key;
  };

  // Every key goes to the program, which says whether it took it; what it
  // took never reaches the browser (Backspace never navigates back).
  const sendKey = key => {
    const name = Module.allocateUTF8(key);
    const answer = Module._lk_key(name, performance.now());
    Module._free(name);
    if (answer & 2) animate();
    return answer;
  };
  window.addEventListener('keydown', event => {
    if (!Module) {
      const key = keyOf(event);
      if (key) early.push(() => sendKey(key));
      if (key && (key.length === 1 || key === 'Enter' || key === 'Backspace')) event.preventDefault();
      return;
    }
    // The print view takes no keys but Escape, which closes it; the
    // browser keeps the rest (scrolling, its own print shortcut).
    if (print.done) {
      if (event.key === 'Escape') {
        event.preventDefault();
        closePrint();
      }
      return;
    }
    if (test) test.lastKeyAt = event.timeStamp;
    const key = keyOf(event);
    if (key === null) {
      event.preventDefault();
      return;
    }
    const answer = sendKey(key);
    if (answer & 1) {
      event.preventDefault();
      if (test && !test.keyAt) test.keyAt = event.timeStamp;
    }
  });
  const resized = () => { repaint = true; if (Module) Module._lk_resized(); };
  window.addEventListener('resize', resized);
  window.addEventListener('orientationchange', resized);
  document.addEventListener('fullscreenchange', resized);

  // Pointer events, in the canvas's device pixels, to the program; a move's
  // coalesced events all go in. (A double-click is two taps, not full
  // screen: the toolbar has the full-screen button.)
  const phases = {pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3};
  const types = {mouse: 0, touch: 1, pen: 2};
  const pointer = event => {
    event.preventDefault();
    // A mouse's other buttons do nothing.
    if (event.pointerType === 'mouse' && event.type !== 'pointermove' && event.button !== 0) return;
    const started = performance.now();
    if (test) test.overlayPainted = null;
    if (event.type === 'pointerdown' && top.setPointerCapture) {
      try { top.setPointerCapture(event.pointerId); } catch (e) { /* already gone */ }
    }
    const rect = top.getBoundingClientRect();
    const sx = top.width / Math.max(1, rect.width), sy = top.height / Math.max(1, rect.height);
    const phase = phases[event.type];
    const type = types[event.pointerType] === undefined ? 0 : types[event.pointerType];
    const all = phase === 1 && event.getCoalescedEvents ? event.getCoalescedEvents() : [];
    const points = (all.length ? all : [event]).map(e => [phase, type, event.pointerId, (e.clientX - rect.left) * sx,
                                                          (e.clientY - rect.top) * sy, e.timeStamp || event.timeStamp]);
    const send = () => {
      let more = 0;
      for (const p of points) more = Module._lk_pointer(...p);
      if (more) animate();
    };
    if (Module) send();
    else early.push(send);
    if (test) test.pointerEvent(event.type, performance.now() - started);
  };
  for (const name of Object.keys(phases)) top.addEventListener(name, pointer);
  top.addEventListener('contextmenu', event => event.preventDefault());
  document.getElementById('again').addEventListener('click', () => location.reload());

  // Served over http(s), the site keeps working offline after the first visit
  // and installs as an app from this page too (its manifest and icons stand
  // at the site's root). A single file on its own, from a stick, links to
  // neither. The offline worker starts once the first picture is drawn: its
  // downloads never hold up the start.
  const served = location.protocol.startsWith('http');
  if (served) {
    for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['apple-touch-icon', 'icons/apple-touch-icon.png']]) {
      const link = document.createElement('link');
      link.rel = rel;
      link.href = config.root + href;
      document.head.appendChild(link);
    }
  }
  let drawn = false;
  const painted = page.painted;
  page.painted = view => {
    painted(view);
    if (drawn) return;
    drawn = true;
    if (served && 'serviceWorker' in navigator)
      navigator.serviceWorker.register(config.root + 'sw.js').catch(() => {});
  };

  // The canvases take their size now, while the WebAssembly compiles and the
  // fonts load, and the browser makes the lesson's pixels at the first
  // operation: that happens here rather than at the first picture. The
  // program's first fit still draws everything. (The overlay's pixels are
  // made only when something is first drawn on it: made earlier, each frame
  // before the program's first picture copied both canvases, tens of ms each
  // on a slow device, while the WebAssembly's bytes waited for the page.)
  page.fit();
  ctx.save();
  ctx.restore();
  repaint = true;

  // (?first=hold: a test holds the program back until it has looked at
  // that screen.)
  if (test && params.get('first') === 'hold') await new Promise(resolve => { test.release = resolve; });

  // The program's script may follow this one in the page.
  await parsed;
  // The players draw on the contexts they are given (ctx2d, overlayCtx2d).
  // The program starts once its WebAssembly is instantiated and the fonts
  // are loaded.
  Module = await window[config.create]({
    canvas: canvas, arguments: args, page: page, ctx2d: ctx, overlayCtx2d: topCtx,
    instantiateWasm(imports, done) {
      const instance = compiled.then(module => instantiate(module, imports));
      Promise.all([instance, compiled, fontsLoaded]).then(([instance, module]) => {
        if (test) test.phase('instance');
        done(instance, module);
      });
      return {};
    },
  });
  if (test) test.module = Module;
  const waiting = early;
  early = [];
  for (const send of waiting) send();

  // The WebAssembly, "#ID": gzipped (a third of the text to
  // read), unpacked by the browser where it can, else by the gzip reader
  // the file carries as text (#lk-gunzip, run only then).
  // The bytes are compiled at once on the page's thread (5 ms at full
  // speed in Chromium): the asynchronous compile of the same bytes waited
  // behind the browser's other work, 87 ms in all.
  async function compileCarried(id) {
    const packed = carried(id);
    let bytes;
    if (typeof DecompressionStream === 'function') {
      bytes = await gunzip(packed);
    } else {
      const reader = document.createElement('script');
      reader.textContent = document.getElementById('lk-gunzip').textContent;
      document.head.appendChild(reader);
      bytes = window.fflate.gunzipSync(packed);
    }
    try {
      return new WebAssembly.Module(bytes);
    } catch (e) {
      // (A browser that compiles only so much at once on the page's thread.)
      return WebAssembly.compile(bytes);
    }
  }

  // The instance is made at once too: made asynchronously it came a task
  // later (4–6 ms at full speed in Firefox, 2–3 ms in Chromium).
  function instantiate(module, imports) {
    try {
      return new WebAssembly.Instance(module, imports);
    } catch (e) {
      // (A browser that instantiates only so much at once on the page's
      // thread; anything else fails here again.)
      return WebAssembly.instantiate(module, imports);
    }
  }

  // Gzip unpacked by the browser, written in one piece and read back in
  // its pieces: through a Blob's stream and a Response it took 156 ms at
  // full speed in Chromium, this way 18 ms.
  async function gunzip(packed) {
    const unpack = new DecompressionStream('gzip');
    const writer = unpack.writable.getWriter();
    // (A damaged text fails the reading below.)
    writer.write(packed).catch(() => {});
    writer.close().catch(() => {});
    const reader = unpack.readable.getReader();
    const parts = [];
    let size = 0;
    for (;;) {
      const {done, value} = await reader.read();
      if (done) break;
      parts.push(value);
      size += value.length;
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    return bytes;
  }

  // Sizes both canvases to the page at the device's pixel ratio.
  // A recorded screen that depends on the device's record (the practice
  // menu) holds only where the device keeps none yet and no request came.
  function firstApplies(first) {
    if (!first.kept) return true;
    if (request) return false;
    try {
      return localStorage.getItem(first.kept) === null;
    } catch (e) {
      return false;
    }
  }

  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const height = Math.max(1, Math.round(canvas.clientHeight * ratio));
    let changed = canvas.width !== width || canvas.height !== height || repaint;
    repaint = false;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    if (top.width !== width || top.height !== height) {
      top.width = width;
      top.height = height;
    }
    return {width, height, changed};
  }

  // The probes: what the program tells a test run (web_page.js's
  // lk_page_probe), and what the page measures.
  // The start's phases (`phases`), in ms from the navigation: the page's
  // script began, the WebAssembly was compiled, the fonts were loaded, the
  // program was handed its instance, its main began, its first picture.
  function makeTestProbes(scriptStart) {
    let prompt = {kind: 'none', choices: [], buttons: {}}, promptRead = true;
    const probes = {
      phases: {script: scriptStart, compiled: 0, fonts: 0, instance: 0, main: 0, picture: 0},
      phase(name) { probes.phases[name] = performance.now(); },
      // The prompt waiting (its line read from the program when a test
      // first looks after it came), and how many have come.
      get prompt() {
        if (!promptRead && probes.module) {
          const line = probes.module.UTF8ToString(probes.module._lk_prompt_state());
          if (line) prompt = parseLine(line);
          promptRead = true;
        }
        return prompt;
      },
      prompts: 0, idle: false,
      paints: 0, firstPaint: 0, lastPaint: 0, firstShown: 0, firstScreen: '', release: null, keyAt: 0, latencies: [], view: null,
      trace: [], itemPictures: [], tourDone: null, endedAt: 0, errors: [],
      pointerEvents: [], overlayPainted: null, module: null, lastKeyAt: 0, print: null, prints: 0, sheets: null,
      canvas: canvas, overlayCanvas: top, overlayCtx: topCtx,
      // The overlay as the program describes it (probe.h).
      overlay() { return probes.module ? parseLine(probes.module.UTF8ToString(probes.module._lk_overlay_state())) : null; },
      take(kind, text) {
        if (kind === 'prompt') {
          promptRead = false;
          probes.prompts += 1;
        } else if (kind === 'prompt_moved') {
          promptRead = false;
        } else if (kind === 'trace') {
          probes.trace.push(text);
        } else if (kind === 'item') {
          const [x, y, w, h] = text.split(',').map(Number);
          const copy = document.createElement('canvas');
          copy.width = w;
          copy.height = h;
          copy.getContext('2d').drawImage(canvas, x, y, w, h, 0, 0, w, h);
          probes.itemPictures.push(copy.toDataURL('image/png'));
        } else if (kind === 'tour_done') {
          const [items, steps, problems] = text.split(',').map(Number);
          probes.tourDone = {items, steps, problems};
        } else if (kind === 'overlay_painted') {
          probes.overlayPainted = text.split(',').map(Number);
        } else if (kind === 'sheets') {
          const [set, count, sheets, seed, pages] = text.split(',');
          probes.sheets = {set, count: Number(count), sheets: Number(sheets), seed: Number(seed), pages: Number(pages)};
        } else if (kind === 'error') {
          probes.errors.push(text);
        }
      },
      painted(view) {
        probes.view = view;
        probes.paints += 1;
        probes.lastPaint = performance.now();
        if (probes.paints === 1) probes.firstPaint = probes.phases.picture = probes.lastPaint;
        if (!probes.firstShown) probes.shown('program');
        if (probes.keyAt) {
          probes.latencies.push(probes.lastPaint - probes.keyAt);
          probes.keyAt = 0;
        }
      },
      // The first menu on the screen: the program's, or the recorded one
      // before it.
      shown(by) {
        probes.firstShown = performance.now();
        probes.firstScreen = by;
      },
      // The print view shown: its pages, when the program began to hand
      // them over (the first page), when the view was built and when the
      // browser had drawn it (two animation frames later).
      printShown(pages, started) {
        const shown = {pages, started, shownAt: performance.now(), paintedAt: 0, closedAt: 0,
                       keyAt: probes.lastKeyAt};
        probes.print = shown;
        requestAnimationFrame(() => requestAnimationFrame(() => {
          shown.paintedAt = performance.now();
          probes.prints += 1;
        }));
      },
      pointerEvent(type, ms) {
        if (probes.pointerEvents.length < 100000)
          probes.pointerEvents.push({type, ms, painted: probes.overlayPainted});
      },
    };
    window.lkTest = probes;
    return probes;
  }
  // A probe line (probe.h): words NAME=VALUE; places "x,y" become [x, y],
  // choices a list of {number, at}, the overlay's targets `buttons`.
  function parseLine(text) {
    const out = {choices: [], buttons: {}};
    for (const word of text.split(' ')) {
      const eq = word.indexOf('=');
      if (eq < 0) continue;
      const name = word.slice(0, eq), value = word.slice(eq + 1);
      if (value.includes(',')) {
        const at = value.split(',').map(Number);
        if (name.startsWith('choice')) out.choices.push({number: Number(name.slice(6)), at});
        else out.buttons[name] = at;
      } else {
        out[name] = /^-?[0-9.]+$/.test(value) ? Number(value) : value;
      }
    }
    return out;
  }
})();
