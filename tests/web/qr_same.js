// The page's QR encoder (the npm package's JavaScript, as the practice page
// carries it) and the desktop's (the distribution's C++ library) must give
// the same modules for the same bytes: one record, one picture, on every
// device.
// Usage: node qr_same.js PATH/TO/qr_matrices   (LESSONKIT_SITE: the site)
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');
const { execFileSync } = require('child_process');

const SITE = process.env.LESSONKIT_SITE || path.join(__dirname, '..', '..', 'build-web', 'site');
const MAX_VERSION = 10, MAX_BYTES = 213;

// The script of the practice page that leaves the encoder's global.
const html = fs.readFileSync(path.join(SITE, 'practicelesson.html'), 'utf8');
const library = html.split('<script>').map(part => part.split('</script>')[0])
  .find(text => text.includes('globalThis.qrcodegen = qrcodegen;'));
if (!library) throw new Error('practicelesson.html carries no QR encoder');
const context = {};
vm.runInNewContext(library, context);
const q = context.qrcodegen;

function page(bytes) {
  if (bytes.length > MAX_BYTES) return '-\n';
  let code;
  try {
    code = q.QrCode.encodeSegments([q.QrSegment.makeBytes(bytes)], q.QrCode.Ecc.MEDIUM, 1, MAX_VERSION, -1, false);
  } catch (e) {
    return '-\n';
  }
  let out = '';
  for (let y = 0; y < code.size; ++y) {
    for (let x = 0; x < code.size; ++x) out += code.getModule(x, y) ? '1' : '0';
    out += '\n';
  }
  return out;
}

// Every length up to one past the largest, with bytes from a fixed
// generator, and a few patterns that push the mask choice around.
let seed = 12345;
const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648) >> 16 & 255;
const inputs = [];
for (let n = 0; n <= MAX_BYTES + 1; ++n) inputs.push(Array.from({ length: n }, next));
for (const fill of [0, 255, 0x55, 0xAA]) inputs.push(new Array(MAX_BYTES).fill(fill));

const hex = inputs.map((b) => b.map((v) => v.toString(16).padStart(2, '0')).join('')).join('\n') + '\n';
const desktop = execFileSync(process.argv[2], { input: hex, maxBuffer: 64 << 20 }).toString().split('\n\n');
let differ = 0, codes = 0;
inputs.forEach((bytes, i) => {
  const mine = page(bytes).trimEnd(), theirs = (desktop[i] || '').trim();
  if (mine !== '-') ++codes;
  if (mine !== theirs) {
    ++differ;
    console.error(`${bytes.length} bytes: the encoders differ`);
  }
});
console.log(`${inputs.length} inputs, ${codes} codes, ${differ} different`);
if (differ || codes !== inputs.length - 1) process.exit(1);
