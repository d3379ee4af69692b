// Replays the overlay's shapes (overlay/overlay_shapes.h) with Canvas 2D on
// the page's overlay canvas, Module.overlayCtx2d. overlay_2d.cpp packs the
// shapes into one array of doubles; nothing here knows what they depict.
// Each shape starts with its kind, colour (0xRRGGBB) and alpha:
//   box:   0, rgb, alpha, line, x, y, w, h, radius
//   path:  1, rgb, alpha, line, round, scale, origin x, origin y, n,
//          then n pieces: kind (0 move, 1 line, 2 quad, 3 close), control x, y, x, y
//   label: 2, rgb, alpha, x, y, align (0 left, 1 centre, 2 right), n, n
//          UTF-16 units of the CSS font, m, m UTF-16 units of the text
// A line of 0 fills.
// Until something is first drawn on the canvas, an empty area is left
// alone: clearing it would only make the canvas's pixels, and the browser
// would copy them to the screen with every frame (a keyboard shows no
// overlay at all).
mergeInto(LibraryManager.library, {
  lk_overlay_replay: function (x, y, w, h, data, count) {
    if (count === 0 && !Module.overlayDrawn) return;
    Module.overlayDrawn = true;
    const ctx = Module.overlayCtx2d;
    const d = HEAPF64.subarray(data >> 3, (data >> 3) + count);
    const colour = rgb => '#' + rgb.toString(16).padStart(6, '0');
    const text = at => String.fromCharCode.apply(null, d.subarray(at + 1, at + 1 + d[at]));
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.clearRect(x, y, w, h);
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
    let i = 0;
    while (i < count) {
      const kind = d[i];
      ctx.fillStyle = ctx.strokeStyle = colour(d[i + 1]);
      ctx.globalAlpha = d[i + 2];
      if (kind === 2) {
        const font = i + 6, words = font + 1 + d[font];
        ctx.font = text(font);
        ctx.textAlign = ['left', 'center', 'right'][d[i + 5]];
        ctx.textBaseline = 'alphabetic';
        ctx.fillText(text(words), d[i + 3], d[i + 4]);
        i = words + 1 + d[words];
        continue;
      }
      const line = d[i + 3];
      let round = false;
      ctx.beginPath();
      if (kind === 0) {
        const [bx, by, bw, bh] = [d[i + 4], d[i + 5], d[i + 6], d[i + 7]];
        const r = Math.min(d[i + 8], bw / 2, bh / 2);
        ctx.moveTo(bx + r, by);
        ctx.arcTo(bx + bw, by, bx + bw, by + bh, r);
        ctx.arcTo(bx + bw, by + bh, bx, by + bh, r);
        ctx.arcTo(bx, by + bh, bx, by, r);
        ctx.arcTo(bx, by, bx + bw, by, r);
        ctx.closePath();
        i += 9;
      } else {
        const n = d[i + 8];
        round = d[i + 4] !== 0;
        ctx.setTransform(d[i + 5], 0, 0, d[i + 5], d[i + 6], d[i + 7]);
        for (let p = i + 9; p < i + 9 + 5 * n; p += 5) {
          const piece = d[p];
          if (piece === 0) ctx.moveTo(d[p + 3], d[p + 4]);
          else if (piece === 1) ctx.lineTo(d[p + 3], d[p + 4]);
          else if (piece === 2) ctx.quadraticCurveTo(d[p + 1], d[p + 2], d[p + 3], d[p + 4]);
          else ctx.closePath();
        }
        i += 9 + 5 * n;
      }
      if (line > 0) {
        ctx.lineWidth = line;
        ctx.lineCap = round ? 'round' : 'butt';
        ctx.lineJoin = round ? 'round' : 'miter';
        ctx.stroke();
      } else {
        ctx.fill();
      }
      ctx.setTransform(1, 0, 0, 1, 0, 0);
    }
    ctx.restore();
  },
});
