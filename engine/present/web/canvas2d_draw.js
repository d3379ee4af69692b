// The Canvas 2D player's drawing, as plain functions of a 2D context: what
// the program's player calls (canvas2d.js, from canvas2d_player.cpp), and
// what the page draws the first screen with before the program has started
// (`first`, a recording of those same calls that the build makes). Coordinates
// are layout units unless a name says device; colours travel as 0xRRGGBB.
'use strict';
var lkCanvas2d = (function () {
  const colour = rgb => '#' + rgb.toString(16).padStart(6, '0');
  // Each context's layout transform [scale, x, y], and what a screen's
  // hundreds of glyph runs would otherwise set again and again: the font,
  // the letter spacing and the fill colour last set (null: not known), and
  // whether a run has left its own transform in place of the layout's
  // (`moved`).
  const state = new WeakMap();
  const of = ctx => {
    let s = state.get(ctx);
    if (!s) state.set(ctx, s = {layout: [1, 0, 0], font: null, spacing: null, fill: null, moved: false});
    return s;
  };
  // The layout transform again, where a glyph run left its own.
  const settle = (ctx, s) => {
    if (!s.moved) return;
    const [scale, ox, oy] = s.layout;
    ctx.setTransform(scale, 0, 0, scale, ox, oy);
    s.moved = false;
  };
  // Fills (when fill >= 0) and strokes the path just built, with round caps
  // and joins.
  const finish = (ctx, rgb, fill, pen) => {
    if (fill >= 0) {
      ctx.fillStyle = colour(fill);
      of(ctx).fill = fill;
      ctx.fill();
    }
    ctx.lineWidth = pen;
    ctx.lineCap = 'round';
    ctx.lineJoin = 'round';
    ctx.strokeStyle = colour(rgb);
    ctx.stroke();
  };
  // A layout coordinate in whole device pixels, as a box without
  // anti-aliasing covers them: the pixels whose centres lie inside.
  const edge = (layout, scale, offset) => Math.ceil(offset + layout * scale - 0.5);
  const draw = {
    // Clips to an area of the target (device pixels) and fills it.
    begin(ctx, x, y, w, h, background) {
      ctx.save();
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      ctx.beginPath();
      ctx.rect(x, y, w, h);
      ctx.clip();
      ctx.fillStyle = colour(background);
      ctx.fillRect(x, y, w, h);
      of(ctx).fill = background;
    },
    end(ctx) {
      ctx.restore();
      const s = of(ctx);
      s.fill = null;
      s.spacing = null;
      s.moved = true;
    },
    layout(ctx, scale, x, y) {
      ctx.setTransform(scale, 0, 0, scale, x, y);
      const s = of(ctx);
      s.layout = [scale, x, y];
      s.font = null;
      s.spacing = null;
      s.moved = false;
    },
    // A glyph run: the layout transform, moved to its baseline and
    // magnified, left in place for the next run; `spacing` (the font's
    // pixels) after each glyph. The font, the spacing and the colour are
    // set only when they change: parsing them is the costly part.
    text(ctx, x, y, sx, sy, font, text, rgb, spacing = 0) {
      const s = of(ctx);
      const [scale, ox, oy] = s.layout;
      ctx.setTransform(scale * sx, 0, 0, scale * sy, ox + scale * x, oy + scale * y);
      s.moved = true;
      if (s.font !== font) {
        ctx.font = font;
        s.font = font;
      }
      if (s.spacing !== spacing) {
        ctx.letterSpacing = spacing + 'px';
        s.spacing = spacing;
      }
      if (s.fill !== rgb) {
        ctx.fillStyle = colour(rgb);
        s.fill = rgb;
      }
      ctx.fillText(text, 0, 0);
    },
    // A box snapped to whole device pixels, so that an erase covers exactly
    // what it erases.
    box(ctx, x1, y1, x2, y2, rgb) {
      const [scale, ox, oy] = of(ctx).layout;
      const dx1 = edge(x1, scale, ox), dy1 = edge(y1, scale, oy);
      const dx2 = edge(x2, scale, ox), dy2 = edge(y2, scale, oy);
      if (dx2 <= dx1 || dy2 <= dy1) return;
      ctx.save();
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      ctx.fillStyle = colour(rgb);
      ctx.fillRect(dx1, dy1, dx2 - dx1, dy2 - dy1);
      ctx.restore();
    },
    // A path through points (x, y, x, y ...), filled first when fill >= 0,
    // then stroked with the pen; `close` joins the last point to the first.
    path(ctx, points, close, rgb, fill, pen) {
      settle(ctx, of(ctx));
      ctx.beginPath();
      ctx.moveTo(points[0], points[1]);
      for (let i = 2; i + 1 < points.length; i += 2) ctx.lineTo(points[i], points[i + 1]);
      if (close) ctx.closePath();
      finish(ctx, rgb, fill, pen);
    },
    arc(ctx, cx, cy, r, a1, a2, rgb, fill, pen) {
      settle(ctx, of(ctx));
      ctx.beginPath();
      ctx.arc(cx, cy, r, a1, a2, false);
      finish(ctx, rgb, fill, pen);
    },
  };
  // The layout area scaled to fit a surface, centred on whole pixels (as
  // the program places it).
  draw.fit = (width, height, areaWidth, areaHeight) => {
    const scale = Math.max(Math.min(width / areaWidth, height / areaHeight), 1e-6);
    return {scale, x: Math.floor((width - areaWidth * scale) / 2),
            y: Math.floor((height - areaHeight * scale) / 2)};
  };
  // A recorded screen, {width, height, background, calls: [[name, ...]],
  // glyphs}, drawn whole on a target of the given size (device pixels): the
  // background, then each call in layout units. Its text comes as glyph
  // outlines (make_site.py), so that no font need be loaded: a run of
  // glyphs stands where text() would put the same glyphs of a `size` px
  // font, `spacing` px apart.
  draw.screen = (ctx, screen, width, height) => {
    const view = draw.fit(width, height, screen.width, screen.height);
    const paths = {};
    const glyphs = (ctx, x, y, sx, sy, size, keys, rgb, spacing = 0) => {
      const [scale, ox, oy] = of(ctx).layout;
      ctx.fillStyle = colour(rgb);
      of(ctx).fill = rgb;
      let pen = 0;
      for (const key of keys) {
        const glyph = screen.glyphs[key];
        const k = size / glyph.em;
        ctx.setTransform(scale * sx * k, 0, 0, -scale * sy * k, ox + scale * (x + sx * pen), oy + scale * y);
        ctx.fill(paths[key] || (paths[key] = new Path2D(glyph.d)));
        pen += glyph.advance * k + spacing;
      }
      ctx.setTransform(scale, 0, 0, scale, ox, oy);
    };
    draw.begin(ctx, 0, 0, width, height, screen.background);
    draw.layout(ctx, view.scale, view.x, view.y);
    for (const call of screen.calls)
      (call[0] === 'glyphs' ? glyphs : draw[call[0]]).apply(null, [ctx].concat(call.slice(1)));
    draw.end(ctx);
  };
  return draw;
})();
