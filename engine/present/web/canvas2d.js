// The Canvas 2D player's side in the page (canvas2d_player.cpp): each call
// draws on Module.ctx2d, the 2D context the page gives the program (the
// lesson's canvas, or a reference picture's). Colours travel as 0xRRGGBB.
mergeInto(LibraryManager.library, {
  $c2d: {
    colour: rgb => '#' + rgb.toString(16).padStart(6, '0'),
    // Fills (when fill >= 0) and strokes the path just built, with round
    // caps and joins.
    finish: (ctx, rgb, fill, pen) => {
      if (fill >= 0) {
        ctx.fillStyle = c2d.colour(fill);
        ctx.fill();
      }
      ctx.lineWidth = pen;
      ctx.lineCap = 'round';
      ctx.lineJoin = 'round';
      ctx.strokeStyle = c2d.colour(rgb);
      ctx.stroke();
    },
    layout: [1, 0, 0],
    font: null,
  },
  // Clips to an area of the target (device pixels) and fills it.
  c2d_begin__deps: ['$c2d'],
  c2d_begin: function(x, y, w, h, background) {
    const ctx = Module.ctx2d;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
    ctx.fillStyle = c2d.colour(background);
    ctx.fillRect(x, y, w, h);
  },
  c2d_end: function() { Module.ctx2d.restore(); },
  c2d_layout__deps: ['$c2d'],
  c2d_layout: function(scale, x, y) {
    Module.ctx2d.setTransform(scale, 0, 0, scale, x, y);
    c2d.layout = [scale, x, y];
    c2d.font = null;
  },
  // A glyph: the layout transform, moved to its baseline and magnified. The
  // font is set only when it changes: setting it is the costly part.
  c2d_text__deps: ['$c2d'],
  c2d_text: function(x, y, sx, sy, font, text, rgb) {
    const ctx = Module.ctx2d;
    const [scale, ox, oy] = c2d.layout;
    ctx.setTransform(scale * sx, 0, 0, scale * sy, ox + scale * x, oy + scale * y);
    const css = UTF8ToString(font);
    if (c2d.font !== css) {
      ctx.font = css;
      c2d.font = css;
    }
    ctx.fillStyle = c2d.colour(rgb);
    ctx.fillText(UTF8ToString(text), 0, 0);
    ctx.setTransform(scale, 0, 0, scale, ox, oy);
  },
  // A box in device pixels, drawn without the layout transform.
  c2d_device_box__deps: ['$c2d'],
  c2d_device_box: function(x1, y1, x2, y2, rgb) {
    if (x2 <= x1 || y2 <= y1) return;
    const ctx = Module.ctx2d;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = c2d.colour(rgb);
    ctx.fillRect(x1, y1, x2 - x1, y2 - y1);
    ctx.restore();
  },
  // A path of n points (x, y pairs of floats at `points`), filled first when
  // fill >= 0, then stroked with the pen; `close` joins the last point to
  // the first.
  c2d_path__deps: ['$c2d'],
  c2d_path: function(points, n, close, rgb, fill, pen) {
    const ctx = Module.ctx2d;
    const at = points >> 2;
    ctx.beginPath();
    ctx.moveTo(HEAPF32[at], HEAPF32[at + 1]);
    for (let i = 1; i < n; ++i) ctx.lineTo(HEAPF32[at + 2 * i], HEAPF32[at + 2 * i + 1]);
    if (close) ctx.closePath();
    c2d.finish(ctx, rgb, fill, pen);
  },
  c2d_arc__deps: ['$c2d'],
  c2d_arc: function(cx, cy, r, a1, a2, rgb, fill, pen) {
    const ctx = Module.ctx2d;
    ctx.beginPath();
    ctx.arc(cx, cy, r, a1, a2, false);
    c2d.finish(ctx, rgb, fill, pen);
  },
});

