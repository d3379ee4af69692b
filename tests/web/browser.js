// Starts Debian's chromium or Debian's firefox-esr headless for the browser
// tests, both through puppeteer-core (Firefox over WebDriver BiDi).
'use strict';
const puppeteer = require('puppeteer-core');
const fs = require('fs');
const os = require('os');
const path = require('path');

// The browser sees none of the system's Japanese fonts, only one Latin
// family to fall back on: a page must draw with the fonts it carries, as it
// would on a tablet that has none of them.
function emptyFontconfig(dir) {
  const file = path.join(dir, 'fonts.conf');
  fs.writeFileSync(file, '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n' +
                   '<fontconfig><dir>/usr/share/fonts/truetype/liberation2</dir>' +
                   `<cachedir>${path.join(dir, 'fc-cache')}</cachedir></fontconfig>\n`);
  return file;
}

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lessonkit-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    env: {...process.env, FONTCONFIG_FILE: emptyFontconfig(profile)},
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--allow-file-access-from-files', '--font-render-hinting=none',
           '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
           '--disable-backgrounding-occluded-windows'],
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return {browser, close};
}

// Debian's firefox-esr through puppeteer-core's WebDriver BiDi support
// (`browser: 'firefox'`, puppeteer 23 and later), with the same fonts as
// above.
async function launchFirefox() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lessonkit-firefox-'));
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    headless: true,
    userDataDir: profile,
    env: {...process.env, FONTCONFIG_FILE: emptyFontconfig(profile), MOZ_CRASHREPORTER_DISABLE: '1'},
    extraPrefsFirefox: {
      // file:// pages read their own canvas; no updates or telemetry.
      'app.update.auto': false,
      'datareporting.policy.dataSubmissionEnabled': false,
      'toolkit.telemetry.reportingpolicy.firstRun': false,
    },
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return {browser, close};
}

module.exports = {launch, launchFirefox, emptyFontconfig};
