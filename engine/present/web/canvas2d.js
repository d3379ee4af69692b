// The Canvas 2D player's side in the page (canvas2d_player.cpp): each call
// draws on Module.ctx2d, the 2D context the page gives the program (the
// lesson's canvas, or a reference picture's), with the page's drawing
// functions (canvas2d_draw.js, lkCanvas2d).
mergeInto(LibraryManager.library, {
  c2d_begin: function(x, y, w, h, background) { lkCanvas2d.begin(Module.ctx2d, x, y, w, h, background); },
  c2d_end: function() { lkCanvas2d.end(Module.ctx2d); },
  c2d_layout: function(scale, x, y) { lkCanvas2d.layout(Module.ctx2d, scale, x, y); },
  // The font of the glyph runs that follow (a CSS font).
  c2d_font: function(font) { Module.c2dFont = UTF8ToString(font); },
  // `spacing`: added after each glyph, in the font's pixels.
  c2d_text: function(x, y, sx, sy, text, rgb, spacing) {
    lkCanvas2d.text(Module.ctx2d, x, y, sx, sy, Module.c2dFont, UTF8ToString(text), rgb, spacing);
  },
  // Whether runs of glyphs set apart can be drawn (a context with letter
  // spacing).
  c2d_spaced_runs: function() { return 'letterSpacing' in Module.ctx2d ? 1 : 0; },
  c2d_box: function(x1, y1, x2, y2, rgb) { lkCanvas2d.box(Module.ctx2d, x1, y1, x2, y2, rgb); },
  // n points: x, y pairs of floats at `points`.
  c2d_path: function(points, n, close, rgb, fill, pen) {
    lkCanvas2d.path(Module.ctx2d, HEAPF32.subarray(points >> 2, (points >> 2) + 2 * n), close, rgb, fill, pen);
  },
  c2d_arc: function(cx, cy, r, a1, a2, rgb, fill, pen) {
    lkCanvas2d.arc(Module.ctx2d, cx, cy, r, a1, a2, rgb, fill, pen);
  },
});
