// The test page's side of players_page.cpp: a canvas for each case, which
// the Canvas 2D player then draws on (Module.ctx2d), and a transparent one
// above for the overlay case (Module.overlayCtx2d), flattened into it.
mergeInto(LibraryManager.library, {
  page_new_case: function(name, w, h) {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    canvas.id = UTF8ToString(name);
    document.body.appendChild(canvas);
    Module.ctx2d = canvas.getContext('2d', {alpha: false});
  },
  page_new_overlay: function(w, h) {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    Module.overlayCtx2d = canvas.getContext('2d');
  },
  page_flatten_overlay: function() { Module.ctx2d.drawImage(Module.overlayCtx2d.canvas, 0, 0); },
  page_done: function() { Module.casesDone = true; },
});
