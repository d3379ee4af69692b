// The page's encoder: the same QR library as the desktop's, in its
// JavaScript edition, which the page carries as the global `qrcodegen`.
// One call hands the program the module matrix (qr_web.cpp).
mergeInto(LibraryManager.library, {
  // Writes size × size modules (1 dark, 0 light) at `out` and returns the
  // size; 0 when the bytes do not fit `maxVersion` or the page has no encoder.
  lk_qr_encode: function(bytes, length, maxVersion, out) {
    const q = globalThis.qrcodegen;
    if (!q) return 0;
    const data = Array.from(HEAPU8.subarray(bytes, bytes + length));
    let code;
    try {
      code = q.QrCode.encodeSegments([q.QrSegment.makeBytes(data)], q.QrCode.Ecc.MEDIUM,
                                     1, maxVersion, -1, false);
    } catch (e) {
      return 0;
    }
    for (let y = 0; y < code.size; ++y)
      for (let x = 0; x < code.size; ++x) HEAPU8[out + y * code.size + x] = code.getModule(x, y) ? 1 : 0;
    return code.size;
  },
});
