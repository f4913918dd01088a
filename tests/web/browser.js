// Debian's chromium, headless, for the page's tests: a fresh profile each
// time, no network of its own. ARS_WEB_DIR names the built page (build/web).
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

const webDir = process.env.ARS_WEB_DIR || path.resolve(__dirname, '../../build/web');
const executable = process.env.ARS_CHROMIUM || '/usr/bin/chromium';

const flags = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// A browser with a fresh profile; close() also removes the profile.
async function launch() {
  if (!fs.existsSync(path.join(webDir, 'index.html'))) {
    throw new Error(`no page in ${webDir}: run make web first`);
  }
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'ars-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: executable,
    headless: true,
    args: flags,
    viewport: { width: 1024, height: 768 },
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

function pageUrl(lessonText) {
  const url = 'file://' + path.join(webDir, 'index.html');
  return lessonText === undefined ? url : url + '#' + encodeURIComponent(lessonText);
}

// Opens the page (with a lesson in its link) and waits for its first picture.
async function openPage(context, lessonText, viewport) {
  const page = await context.newPage();
  if (viewport) await page.setViewportSize(viewport);
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  page.on('console', (m) => {
    if (m.type() === 'error') problems.push(m.text());
  });
  page.problems = problems;
  await page.goto(pageUrl(lessonText));
  await page.waitForFunction(() => window.samplerPage && window.samplerPage.firstPictureMs !== null);
  return page;
}

// What the tests read of the page's state.
function state(page) {
  return page.evaluate(() => ({
    status: document.getElementById('status').textContent,
    lesson: JSON.parse(window.samplerPage.session.lessonText()),
    paints: window.samplerPage.paints,
    message: document.getElementById('message-box').open
      ? document.getElementById('message-text').textContent
      : null,
  }));
}

// The picture's pixels once the queued paint is done.
async function picture(page) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  return page.locator('#picture').screenshot();
}

module.exports = { launch, openPage, state, picture, pageUrl, webDir };
