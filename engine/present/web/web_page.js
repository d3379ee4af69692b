// The calls the browser back end (web_platform.cpp) makes into its page.
// Each one hands over to the page script's object (page.js), which the page
// gives the program as Module.page: this file only carries the values
// across.
mergeInto(LibraryManager.library, {
  // Sizes the canvases to the page; writes the size in device pixels and
  // returns 1 when it changed (or a repaint of everything was asked for).
  lk_page_fit: function(size) {
    const fit = Module.page.fit();
    HEAP32[size >> 2] = fit.width;
    HEAP32[(size >> 2) + 1] = fit.height;
    return fit.changed ? 1 : 0;
  },
  // The program rests until an event wakes it, or `ms` pass; then the page
  // resumes it (lk_resume). These calls return at once: the program's task
  // suspends meanwhile.
  lk_page_sleep: function(ms) {
    Module.page.sleep(ms, () => Module['_lk_resume']());
  },
  // A plain timer, for the lessons' delays: keys typed meanwhile wait.
  lk_page_pause: function(ms) {
    setTimeout(() => Module['_lk_resume'](), ms);
  },
  lk_page_wake: function() { Module.page.wake(); },
  lk_page_pixel_ratio: function() { return window.devicePixelRatio || 1; },
  // A device with a touch screen (a tablet, a touch board) may have no
  // keyboard at all. (The program's first call, or the second after
  // lk_page_request: page.entered marks that its main has begun.)
  lk_page_touch_device: function() {
    Module.page.entered();
    return navigator.maxTouchPoints > 0 ||
           (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) ? 1 : 0;
  },
  lk_page_fullscreen: function() { Module.page.toggleFullscreen(); },
  // A picture was drawn; where the layout area lies, in device pixels.
  lk_page_painted: function(x, y, w, h, scale) {
    Module.page.painted({x: x, y: y, w: w, h: h, scale: scale});
  },
  lk_page_ended: function() { Module.page.ended(); },
  // The print view (page.js): a page to print as an SVG document, then the
  // view shown; the program rests until it is closed.
  lk_page_print_page: function(svg, width, height) {
    Module.page.addPrintPage(UTF8ToString(svg), width, height);
  },
  lk_page_hand_in: function(name, text) {
    return Module.page.handIn(UTF8ToString(name), UTF8ToString(text));
  },
  lk_page_print_show: function() {
    Module.page.showPrint(() => queueMicrotask(() => Module['_lk_resume']()));
  },
  // The program's record in localStorage (web_storage.cpp). Any access may
  // throw where the browser keeps nothing (private browsing, a blocked
  // file:// origin): the record is then not available.
  lk_page_store_available: function(key) {
    try {
      const probe = UTF8ToString(key) + '.probe';
      localStorage.setItem(probe, '1');
      localStorage.removeItem(probe);
      return 1;
    } catch (e) {
      return 0;
    }
  },
  lk_page_store_read: function(key) {
    try {
      const text = localStorage.getItem(UTF8ToString(key));
      return text === null ? 0 : allocateUTF8(text);
    } catch (e) {
      return -1;
    }
  },
  lk_page_store_write: function(key, text) {
    try {
      localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
      return 1;
    } catch (e) {
      return 0;
    }
  },
  lk_page_store_set_aside: function(key) {
    try {
      const name = UTF8ToString(key), text = localStorage.getItem(name);
      const aside = name + '.damaged-' + new Date().toISOString().replace(/[-:]/g, '').slice(0, 15);
      localStorage.setItem(aside, text === null ? '' : text);
      localStorage.removeItem(name);
      return allocateUTF8(aside);
    } catch (e) {
      return 0;
    }
  },
  // The address's fragment, read by the page once as it opened (a teacher's
  // request to the practice program); the program frees it.
  lk_page_request: function() {
    Module.page.entered();
    return allocateUTF8(Module.page.request);
  },
  // What a test run's probes take (page.js): nothing happens without one.
  // Whether a test is looking: what only a test reads is made only then.
  lk_page_probing: function() { return Module.page.test ? 1 : 0; },
  lk_page_probe: function(kind, text) {
    if (Module.page.test) Module.page.test.take(UTF8ToString(kind), UTF8ToString(text));
  },
});
