#!/usr/bin/env python3
"""Makes the browser site: font subsets of what the programs draw, one
self-contained HTML file per program (for a USB stick), the served pages in
app/ (the same pages, beside the site's manifest and offline worker), an
index page, a web app manifest with its
icons (drawn from a desktop icon with Debian's rsvg-convert) and a service
worker.

  make_site.py GLYPHS BUILD_WEB SITE

GLYPHS is lessonglyphs' output (family, weight, style, characters per line);
BUILD_WEB holds PROGRAM_web.js and .wasm for each program below;
SITE is written.
"""
import base64
import gzip
import logging
import hashlib
import io
import json
import os
import re
import shutil
import subprocess
import sys

from fontTools import subset
from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
WEB = os.path.join(HERE, '..', '..', 'engine', 'present', 'web')

# The serif's licence reserves its name: a subset goes by another one.
RENAMED = {'Liberation Serif': 'Lesson Serif'}
# Where each font's licence and copyright stand on the system.
LICENCES = {
    'BIZ UDGothic': '/usr/share/doc/fonts-morisawa-bizud-gothic/copyright',
    'Liberation Serif': '/usr/share/doc/fonts-liberation2/copyright',
}
DATA = os.path.join(HERE, '..', '..', 'data')
# What the pages carry from the npm registry (scripts/web.sh installs it
# from this folder's lock file).
NODE_MODULES = os.path.join(HERE, 'node_modules')
QR_PACKAGE = 'nayuki-qr-code-generator'
# The camera's QR decoder: zxing-cpp's WebAssembly build, its reader only.
ZXING_PACKAGE = 'zxing-wasm'
# A gzip reader, for a single file's WebAssembly in a browser that cannot
# unpack gzip itself (no DecompressionStream).
GUNZIP_PACKAGE = 'fflate'


def qr_library():
    """The QR encoder's JavaScript edition as a plain script that leaves the
    global `qrcodegen` (the package is an ES module), for the programs that
    draw QR codes (engine/present/qr/qr_page.js)."""
    text = open(os.path.join(NODE_MODULES, QR_PACKAGE, 'index.js'), encoding='utf-8').read()
    export = 'export default qrcodegen;'
    if export not in text:
        sys.exit('make_site: %s no longer ends with "%s"' % (QR_PACKAGE, export))
    text = text.replace(export, 'globalThis.qrcodegen = qrcodegen;')
    # Its lines' indentation and its comment lines (not the licence block
    # at its head) are half its size: the pages carry it without them.
    lines = []
    for line in text.split('\n'):
        stripped = line.strip()
        if stripped.startswith('//') or not stripped:
            continue
        lines.append(stripped)
    return '\n'.join(lines) + '\n'


# The programs whose pages carry the QR encoder.
QR_PROGRAMS = {'practicelesson'}
# The installed site: its name, and the colour of the programs' menu panel
# (palette colour 10, the index page's text) for the window's title bar.
APP_NAME = '方程式'
THEME = '#0d1b4a'
BACKGROUND = '#f4f6fb'
# The site's icon is solvelesson's desktop icon, the balance scale of the
# properties of equalities. Its frame colour fills the maskable icon's
# bleed and the home-screen icon's corners.
ICON_SOURCE = os.path.join(DATA, 'solvelesson.svg')
ICON_FRAME = '#2a7a3b'
# (file, size in px, full bleed, manifest purpose or None)
ICONS = [
    ('icon-192.png', 192, False, 'any'),
    ('icon-512.png', 512, False, 'any'),
    ('maskable-512.png', 512, True, 'maskable'),
    ('apple-touch-icon.png', 180, True, None),
]
PROGRAMS = [
    ('applylesson', '方程式の利用'),
    ('solvelesson', '方程式の解き方'),
    ('practicelesson', '方程式の練習'),
]


def ascii_page(html):
    """The page in ASCII alone: a character beyond it in a script as a \\u
    escape, elsewhere as a character reference. A browser then reads the
    whole page as one-byte text: its decoder, parser and script compiler
    take the quicker path (a warm served start in Chromium at 4x: 294 ->
    277 ms, medians of 10), for the sake of a few hundred Japanese
    characters among half a megabyte."""
    def escaped(char):
        code = ord(char)
        if code < 0x10000:
            return '\\u%04x' % code
        code -= 0x10000
        return '\\u%04x\\u%04x' % (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF))

    def in_script(text):
        # (An escape after a backslash would be read as two characters.)
        if re.search(r'\\[^\x00-\x7f]', text):
            sys.exit('make_site: a script escapes a character beyond ASCII')
        return re.sub(r'[^\x00-\x7f]', lambda m: escaped(m.group(0)), text)

    def in_markup(text):
        if re.search(r'<style[^>]*>[^<]*[^\x00-\x7f]', text):
            sys.exit('make_site: a style sheet has a character beyond ASCII')
        return re.sub(r'[^\x00-\x7f]', lambda m: '&#x%x;' % ord(m.group(0)), text)

    parts = re.split(r'(<script[^>]*>.*?</script>)', html, flags=re.S)
    return ''.join(in_script(part) if part.startswith('<script') else in_markup(part) for part in parts)


def class_page(build_web, qr_js, glyphs):
    """クラスの様子: one self-contained page (the records' reader, the
    camera's decoder, the QR encoder and a font subset of its own text)."""
    template = open(os.path.join(WEB, 'class.html'), encoding='utf-8').read()
    page_js = open(os.path.join(WEB, 'class.js'), encoding='utf-8').read()
    reader = open(os.path.join(build_web, 'class_web.js'), encoding='utf-8').read()
    zxing_js = open(os.path.join(NODE_MODULES, ZXING_PACKAGE, 'dist', 'iife', 'reader', 'index.js'),
                    encoding='utf-8').read()
    zxing_wasm = open(os.path.join(NODE_MODULES, ZXING_PACKAGE, 'dist', 'reader', 'zxing_reader.wasm'), 'rb').read()
    # The page's own words, and the names of sets and mistakes it shows
    # (every character the practice program can draw in the same font).
    chars = set(template + page_js)
    # The reader's messages and names, as its sources spell them.
    root = os.path.join(HERE, '..', '..')
    for source in ('engine/practice/class_record.cpp', 'lessons/practice/class_table.cpp',
                   'lessons/problems/mistakes.cpp', 'lessons/problems/kinds.cpp'):
        chars.update(open(os.path.join(root, source), encoding='utf-8').read())
    for family, weight, style, drawn in glyphs:
        if family == 'BIZ UDGothic':
            chars.update(drawn)
    chars = ''.join(sorted(c for c in chars if c >= ' '))
    # One weight: the page's few bold words are drawn bolder by the browser.
    data = make_subset(font_file('BIZ UDGothic', 'normal', 'normal'), chars, None)
    faces = ('@font-face { font-family: "BIZ UDGothic"; '
             'src: url(data:font/woff2;base64,%s) format("woff2"); }\n' % base64.b64encode(data).decode('ascii'))

    def script(text):
        return '<script>' + text.replace('</script', '<\\/script') + '</script>'
    scripts = (script(qr_js) + '\n' + script(zxing_js) + '\n' +
               '<script type="application/wasm" id="zxing-wasm">%s</script>\n'
               % base64.b64encode(zxing_wasm).decode('ascii') +
               script(reader) + '\n' + script(page_js))
    return ascii_page(template.replace('@THEME@', THEME).replace('@FONT@', faces).replace('@SCRIPTS@', scripts))


def font_file(family, weight, style):
    pattern = family + ':weight=' + ('200' if weight == 'bold' else '80')
    pattern += ':slant=' + ('100' if style == 'italic' else '0')
    return subprocess.check_output(['fc-match', '-f', '%{file}', pattern], text=True)


def make_subset(path, chars, new_family):
    font = TTFont(path)
    options = subset.Options()
    options.flavor = 'woff2'
    # Only the substitutions a browser applies to horizontal text unasked
    # (the subsetter's default list): the Gothic's alternates (vertical,
    # traditional, proportional, ruby, older JIS forms) doubled its glyphs.
    # And no hinting: a page's text is drawn smoothed at any scale, and the
    # instructions were a fifth of the bytes. (Half the fonts' bytes in all.)
    options.hinting = False
    options.name_IDs = ['*']
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=chars)
    subsetter.subset(font)
    if new_family:
        old = font['name'].getDebugName(1)
        for record in font['name'].names:
            if record.nameID in (1, 3, 4, 6, 16):
                text = record.toUnicode().replace(old, new_family)
                if record.nameID == 6:
                    text = text.replace(old.replace(' ', ''), new_family.replace(' ', ''))
                    text = text.replace(' ', '')
                record.string = text
    out = io.BytesIO()
    font.flavor = 'woff2'
    font.save(out)
    return out.getvalue()


def first_screen(first, fonts):
    """The recorded first screen, its text as the outlines of its glyphs: the
    page draws it before any font is loaded (loading and decoding even a
    small font takes longer than the rest of the start). Each text call
    becomes ["glyphs", x, y, sx, sy, size, [glyph ...], rgb, spacing], drawn
    as the font draws it at that size with `spacing` px after each glyph,
    and first["glyphs"][glyph] is {"em": units per em, "advance": in those
    units, "d": the outline as an SVG path, y up}."""
    glyphs = {}
    opened = {}
    for i, call in enumerate(first['calls']):
        if call[0] != 'text':
            continue
        _, x, y, sx, sy, css, text, rgb, spacing = call
        family = css[css.index('"') + 1:css.rindex('"')]
        weight = 'bold' if 'bold ' in css else 'normal'
        style = 'italic' if 'italic ' in css else 'normal'
        size = float(css.split('px')[0].split()[-1])
        index = next(n for n, f in enumerate(fonts) if (f['family'], f['weight'], f['style']) == (family, weight, style))
        if index not in opened:
            font = TTFont(fonts[index]['path'])
            opened[index] = (font, font.getGlyphSet(), font.getBestCmap(), font['head'].unitsPerEm)
        font, glyph_set, cmap, em = opened[index]
        keys = []
        for char in text:
            key = '%d:%s' % (index, char)
            if key not in glyphs:
                name = cmap.get(ord(char), '.notdef')
                pen = SVGPathPen(glyph_set)
                glyph_set[name].draw(pen)
                glyphs[key] = {'em': em, 'advance': font['hmtx'][name][0], 'd': pen.getCommands()}
            keys.append(key)
        first['calls'][i] = ['glyphs', x, y, sx, sy, size, keys, rgb, spacing]
    first['glyphs'] = glyphs
    return first


def make_icons(site):
    """The site's icons in SITE/icons, and the manifest's list of them.

    An "any" icon is the desktop icon as it is (its corners transparent). A
    full-bleed icon (the maskable one, and the home-screen icon that iOS
    rounds itself) is the desktop icon shrunk to 80 % on its frame colour,
    so that the maskable safe zone (the middle circle of 80 %) keeps the
    drawing.
    """
    source = open(ICON_SOURCE, encoding='utf-8').read()
    body = source[source.index('>', source.index('<svg')) + 1:source.rindex('</svg>')]
    full = ('<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">'
            '<rect width="128" height="128" fill="%s"/>'
            '<g transform="translate(64 64) scale(0.8) translate(-64 -64)">%s</g></svg>' % (ICON_FRAME, body))
    os.makedirs(os.path.join(site, 'icons'), exist_ok=True)
    listed = []
    for name, size, bleed, purpose in ICONS:
        out = os.path.join(site, 'icons', name)
        subprocess.run(['rsvg-convert', '--width', str(size), '--height', str(size),
                        '--output', out] + ([] if bleed else [ICON_SOURCE]),
                       input=full.encode('utf-8') if bleed else None, check=True)
        if purpose:
            listed.append({'src': 'icons/' + name, 'sizes': '%dx%d' % (size, size),
                           'type': 'image/png', 'purpose': purpose})
    return listed


def make_manifest(icons):
    return {
        'name': APP_NAME,
        'short_name': APP_NAME,
        'description': '中学１年　方程式：方程式の利用と方程式の解き方',
        'lang': 'ja',
        'id': './',
        'start_url': 'index.html',
        'scope': './',
        'display': 'standalone',
        'theme_color': THEME,
        'background_color': BACKGROUND,
        'icons': icons,
    }


def main():
    # Tables the subsetter drops are reported one by one: that is expected.
    logging.getLogger('fontTools').setLevel(logging.ERROR)
    glyphs, build_web, site = sys.argv[1:4]
    os.makedirs(os.path.join(site, 'licences'), exist_ok=True)
    fonts = []
    manifest = []
    families = set()
    glyph_lines = []
    for line in open(glyphs, encoding='utf-8'):
        family, weight, style, chars = line.rstrip('\n').split('\t')
        glyph_lines.append((family, weight, style, chars))
        path = font_file(family, weight, style)
        data = make_subset(path, chars, RENAMED.get(family))
        fonts.append({'family': RENAMED.get(family, family),
                      'weight': 'bold' if weight == 'bold' else 'normal',
                      'style': 'italic' if style == 'italic' else 'normal',
                      'file': os.path.basename(path), 'path': path, 'size': len(data),
                      'data': base64.b64encode(data).decode('ascii')})
        families.add(family)
        # The subset itself too, for anyone who wants to check or reuse it.
        name = os.path.splitext(os.path.basename(path))[0]
        if family in RENAMED:
            name = name.replace(family.replace(' ', ''), RENAMED[family].replace(' ', ''))
        os.makedirs(os.path.join(site, 'fonts'), exist_ok=True)
        with open(os.path.join(site, 'fonts', name + '-subset.woff2'), 'wb') as f:
            f.write(data)
        manifest.append({'family': family, 'weight': weight, 'style': style,
                         'file': name + '-subset.woff2', 'page_family': RENAMED.get(family, family)})
    with open(os.path.join(site, 'fonts', 'fonts.json'), 'w', encoding='utf-8') as f:
        json.dump(manifest, f, ensure_ascii=False, indent=1)
    for family in sorted(families):
        shutil.copy(LICENCES[family], os.path.join(site, 'licences', family.replace(' ', '') + '.txt'))
    shutil.copy(os.path.join(NODE_MODULES, QR_PACKAGE, 'LICENSE'), os.path.join(site, 'licences', QR_PACKAGE + '.txt'))
    shutil.copy(os.path.join(NODE_MODULES, ZXING_PACKAGE, 'LICENSE'),
                os.path.join(site, 'licences', ZXING_PACKAGE + '.txt'))
    shutil.copy(os.path.join(NODE_MODULES, GUNZIP_PACKAGE, 'LICENSE'),
                os.path.join(site, 'licences', GUNZIP_PACKAGE + '.txt'))
    qr_js = qr_library()
    gunzip_js = open(os.path.join(NODE_MODULES, GUNZIP_PACKAGE, 'umd', 'index.js'), encoding='utf-8').read()
    if '</script' in gunzip_js:
        sys.exit('make_site: %s cannot stand in a page as it is' % GUNZIP_PACKAGE)

    template = open(os.path.join(WEB, 'page.html'), encoding='utf-8').read()
    # The page's script: the player's drawing functions, then the page.
    page_js = ''.join(open(os.path.join(WEB, name), encoding='utf-8').read()
                      for name in ('canvas2d_draw.js', 'page.js'))
    digest = hashlib.sha256()
    os.makedirs(os.path.join(site, 'app'), exist_ok=True)
    digest.update(page_js.encode('utf-8'))
    # What the offline worker keeps besides the pages and icons it names
    # itself (each page carries its fonts).
    cached = []

    def script(text):
        return '<script>' + text.replace('</script', '<\\/script') + '</script>'

    def page(title, program, scripts):
        return (template.replace('@TITLE@', title + ' (' + program + ')')
                .replace('@THEME@', THEME)
                .replace('@AGAIN@', 'もう一度')
                .replace('@PRINT@', '印刷')
                .replace('@BACK@', '戻る')
                .replace('@SCRIPTS@', scripts))

    for program, title in PROGRAMS:
        libraries = script(qr_js) + '\n' if program in QR_PROGRAMS else ''
        module = open(os.path.join(build_web, program + '_web.js'), encoding='utf-8').read()
        wasm = open(os.path.join(build_web, program + '_web.wasm'), 'rb').read()
        # The program's first screen as lessonfirst recorded it, which the
        # page draws while the WebAssembly is on its way (a program whose
        # first screen depends on what the device keeps has none).
        first_file = os.path.join(build_web, 'first-%s.json' % program)
        first = (first_screen(json.load(open(first_file, encoding='utf-8')), fonts)
                 if os.path.exists(first_file) else None)
        # Each page carries the fonts and the WebAssembly (gzipped) in
        # base64, each in an element of its own that no script parser reads
        # (page.js reads its bytes, "#ID"). The page script comes first, so
        # that the first screen is drawn while the rest is read; the fonts
        # load and the WebAssembly compiles once it is. The served page in
        # app/ is the same page with the site's manifest and offline worker
        # beside it: fetched as files of their own, the WebAssembly and the
        # fonts came a round of the browser's loader later, and its compiled
        # code was not kept between visits either (a page that has run
        # only a few minutes does not reach the browser's threshold for
        # that).
        config = {'title': title, 'create': 'create_' + program, 'root': '',
                  'wasm': '#lk-wasm', 'fonts': [{'family': f['family'], 'weight': f['weight'], 'style': f['style'], 'src': '#lk-font-%d' % i}
                            for i, f in enumerate(fonts)],
                  'first': first}
        data = ''
        for i, f in enumerate(fonts):
            data += '<script type="font/woff2" id="lk-font-%d">%s</script>\n' % (i, f['data'])
        data += libraries + ('<script type="application/gzip" id="lk-wasm">%s</script>\n'
                             % base64.b64encode(gzip.compress(wasm, compresslevel=9, mtime=0)).decode('ascii'))
        data += '<script type="text/plain" id="lk-gunzip">%s</script>\n' % gunzip_js + script(module)
        for name, root in ((program + '.html', ''), ('app/' + program + '.html', '../')):
            config['root'] = root
            html = ascii_page(page(title, program, script('window.lkPage = ' + json.dumps(config) + ';') +
                                   '\n' + script(page_js) + '\n' + data))
            with open(os.path.join(site, name), 'w', encoding='utf-8') as f:
                f.write(html)
            digest.update(html.encode('utf-8'))
            print('%s: %d bytes (WebAssembly %d bytes)' % (os.path.join(site, name), len(html.encode('utf-8')), len(wasm)))
        cached.append('app/' + program + '.html')
    # クラスの様子: the same self-contained file at the top and in app/.
    html = class_page(build_web, qr_js, glyph_lines).encode('utf-8')
    for name in ('classlesson.html', os.path.join('app', 'classlesson.html')):
        with open(os.path.join(site, name), 'wb') as f:
            f.write(html)
    digest.update(html)
    cached.append('app/classlesson.html')
    print('%s: %d bytes' % (os.path.join(site, 'classlesson.html'), len(html)))
    index = open(os.path.join(WEB, 'index.html'), encoding='utf-8').read().replace('@THEME@', THEME)
    with open(os.path.join(site, 'index.html'), 'w', encoding='utf-8') as f:
        f.write(index)
    digest.update(index.encode('utf-8'))
    # The web app manifest and its icons: the site installs as an app.
    manifest_text = json.dumps(make_manifest(make_icons(site)), ensure_ascii=False, indent=1) + '\n'
    with open(os.path.join(site, 'manifest.webmanifest'), 'w', encoding='utf-8') as f:
        f.write(manifest_text)
    digest.update(manifest_text.encode('utf-8'))
    for name, *_ in ICONS:
        with open(os.path.join(site, 'icons', name), 'rb') as f:
            digest.update(f.read())
    worker = open(os.path.join(WEB, 'sw.js'), encoding='utf-8').read()
    with open(os.path.join(site, 'sw.js'), 'w', encoding='utf-8') as f:
        f.write(worker.replace('@BUILD@', digest.hexdigest()[:16])
                .replace("'@FILES@'", ', '.join("'%s'" % name for name in cached)))
    for font in fonts:
        print('font %s %s %s (from %s): %d bytes' % (font['family'], font['weight'], font['style'],
                                                      font['file'], font['size']))


if __name__ == '__main__':
    main()
