// The page around a program: its fonts, its canvas, its keys, the pointer
// (mouse, touch and pen, on the overlay's canvas above the lesson's), full
// screen, the end of the program, and the offline cache. The build puts this script,
// the fonts and the program into one HTML file.
'use strict';
(async function () {
  const config = window.lkPage;  // {title, create, fonts}
  const canvas = document.getElementById('lesson');
  const ctx = canvas.getContext('2d', {alpha: false});
  // The keypad, the toolbar and ink: drawn on a transparent canvas above,
  // which also takes the pointer.
  const top = document.getElementById('overlay');
  const topCtx = top.getContext('2d');

  const params = new URLSearchParams(location.search);
  // The fonts come as bytes: every face is loaded before the first draw.
  // (?fault=font and ?fault=glyph exist for the tests that show a wrong
  // font or a missing glyph being noticed: the Gothic gets the serif's
  // bytes, or loses its "の".)
  const fault = params.get('fault');
  const serif = config.fonts.find(f => f.family !== config.fonts[0].family) || config.fonts[0];
  const decode = text => Uint8Array.from(atob(text), c => c.charCodeAt(0)).buffer;
  await Promise.all(config.fonts.map(font => {
    const descriptors = {weight: font.weight, style: font.style};
    if (fault === 'glyph') descriptors.unicodeRange = 'U+0-306D, U+306F-10FFFF';
    const bytes = fault === 'font' && font !== serif ? serif.data : font.data;
    const face = new FontFace(font.family, decode(bytes), descriptors);
    document.fonts.add(face);
    return face.load();
  }));

  const args = [];
  if (params.has('seed')) args.push('--seed', params.get('seed'));
  if (params.has('tour')) args.push('--tour', params.get('tour'));
  if (params.has('trace')) args.push('--trace');
  if (params.has('pictures')) args.push('--pictures');

  const Module = {
    canvas: canvas,
    lkCtx: ctx,
    lkOverlayCanvas: top,
    lkOverlayCtx: topCtx,
    lkPointerEvents: [],
    arguments: args,
    lkKeys: [],
    lkTrace: [],
    lkItemPictures: [],
    lkNamedKeys: new Set(),
    lkWake: null,
    lkRepaint: false,
    lkPaints: 0,
    lkLastPaint: 0,
    lkEndedAt: 0,
    lkPrompt: {kind: 'none', choices: []},
    lkPrompts: 0,
    lkKeyAt: 0,
    lkLatencies: [],
  };
  window.lkModule = Module;

  // Wakes the sleeping program at once: a key takes effect without waiting
  // for the end of a timer.
  const wake = () => { if (Module.lkWake) Module.lkWake(); };

  // Counts paints, and how long after a key its picture was drawn.
  Module.lkPainted = () => {
    Module.lkPaints += 1;
    Module.lkLastPaint = performance.now();
    if (Module.lkPaints === 1) Module.lkFirstPaint = Module.lkLastPaint;
    if (Module.lkKeyAt) {
      Module.lkLatencies.push(Module.lkLastPaint - Module.lkKeyAt);
      Module.lkKeyAt = 0;
    }
  };
  Module.lkItemPicture = (x, y, w, h) => {
    const copy = document.createElement('canvas');
    copy.width = w;
    copy.height = h;
    copy.getContext('2d').drawImage(canvas, x, y, w, h, 0, 0, w, h);
    Module.lkItemPictures.push(copy.toDataURL('image/png'));
  };
  Module.lkToggleFullscreen = () => {
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
  };
  // The program ended (its quit number): back to the page that opened it,
  // or a blank page that starts it again on a tap.
  Module.lkEnded = () => {
    Module.lkEndedAt = performance.now();
    document.body.classList.add('ended');
  };

  // The overlay's toolbar fades frame by frame while it shows.
  let ticking = false;
  const frame = () => {
    ticking = false;
    if (Module._lk_overlay_tick && Module._lk_overlay_tick(performance.now())) animate();
  };
  const animate = () => {
    if (!ticking) {
      ticking = true;
      requestAnimationFrame(frame);
    }
  };
  // The overlay as it stands, for tests: {keypad, toolbar, pen, strokes,
  // buttons: [{name, rect: [x, y, w, h] in device pixels]}.
  Module.lkOverlay = () => Module._lk_overlay_state ? JSON.parse(Module.UTF8ToString(Module._lk_overlay_state())) : null;

  window.addEventListener('keydown', event => {
    if (Module._lk_key_typed && Module._lk_key_typed(performance.now())) animate();
    if (event.ctrlKey || event.metaKey || event.altKey || event.isComposing) return;
    let key = null;
    if (event.key.length === 1) key = event.key;
    else if (Module.lkNamedKeys.has(event.key)) key = '\u0001' + event.key;
    if (key === null) return;
    event.preventDefault();
    Module.lkKeys.push(key);
    if (!Module.lkKeyAt) Module.lkKeyAt = event.timeStamp;
    wake();
  });
  const resized = () => { Module.lkRepaint = true; wake(); };
  window.addEventListener('resize', resized);
  window.addEventListener('orientationchange', resized);
  document.addEventListener('fullscreenchange', resized);

  // Pointer events, in the canvas's device pixels, to the overlay; the keys
  // it makes go into lkKeys and wake the program. A move's coalesced events
  // all go in, then what changed is painted once. (A double-click is two
  // taps, not full screen: the toolbar has the full-screen button.)
  const phases = {pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3};
  const types = {mouse: 0, touch: 1, pen: 2};
  const pointer = event => {
    event.preventDefault();
    if (!Module._lk_pointer) return;
    // A mouse's other buttons do nothing.
    if (event.pointerType === 'mouse' && event.type !== 'pointermove' && event.button !== 0) return;
    const started = performance.now();
    Module.lkOverlayPainted = null;
    if (event.type === 'pointerdown' && top.setPointerCapture) {
      try { top.setPointerCapture(event.pointerId); } catch (e) { /* already gone */ }
    }
    const rect = top.getBoundingClientRect();
    const sx = top.width / Math.max(1, rect.width), sy = top.height / Math.max(1, rect.height);
    const phase = phases[event.type];
    const type = types[event.pointerType] === undefined ? 0 : types[event.pointerType];
    const all = phase === 1 && event.getCoalescedEvents ? event.getCoalescedEvents() : [];
    for (const e of all.length ? all : [event])
      Module._lk_pointer(phase, type, event.pointerId, (e.clientX - rect.left) * sx,
                         (e.clientY - rect.top) * sy, e.timeStamp || event.timeStamp);
    if (Module._lk_overlay_flush()) animate();
    // How long the event took, and the area it repainted (device pixels).
    if (Module.lkPointerEvents.length < 100000)
      Module.lkPointerEvents.push({type: event.type, ms: performance.now() - started, painted: Module.lkOverlayPainted});
  };
  for (const name of Object.keys(phases)) top.addEventListener(name, pointer);
  top.addEventListener('contextmenu', event => event.preventDefault());
  document.getElementById('again').addEventListener('click', () => location.reload());

  // Served over http(s), the site keeps working offline after the first visit
  // and installs as an app from this page too (its manifest and icons stand
  // beside it). A single file on its own, from a stick, links to neither.
  if (location.protocol.startsWith('http')) {
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
    for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['apple-touch-icon', 'icons/apple-touch-icon.png']]) {
      const link = document.createElement('link');
      link.rel = rel;
      link.href = href;
      document.head.appendChild(link);
    }
  }

  window[config.create](Module);
})();
