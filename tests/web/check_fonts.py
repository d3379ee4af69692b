#!/usr/bin/env python3
"""Every character the programs draw is in the font the browser build ships
for it. The characters come from tours with other seeds than the ones the
subsets were made from, so a character the derivation misses shows here.

  check_fonts.py LESSONGLYPHS SITE
"""
import json
import os
import subprocess
import sys

from fontTools.ttLib import TTFont


def main():
    glyphs_tool, site = sys.argv[1:3]
    manifest = json.load(open(os.path.join(site, 'fonts', 'fonts.json'), encoding='utf-8'))
    shipped = {(f['family'], f['weight'], f['style']): f['file'] for f in manifest}
    drawn = subprocess.check_output([glyphs_tool, '4', '101'], text=True)
    missing = []
    checked = 0
    for line in drawn.splitlines():
        family, weight, style, chars = line.split('\t')
        file = shipped.get((family, weight, style))
        if file is None:
            missing.append('%s %s %s: no font shipped' % (family, weight, style))
            continue
        cmap = TTFont(os.path.join(site, 'fonts', file)).getBestCmap()
        for c in chars:
            checked += 1
            if ord(c) not in cmap:
                missing.append('%s %s %s: U+%04X %s' % (family, weight, style, ord(c), c))
    for m in missing:
        print('missing:', m)
    print('%d drawn characters checked, %d missing' % (checked, len(missing)))
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())
