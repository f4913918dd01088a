// The browser page's pictures of terms leading to How it works, at 1920x1080:
// the tip over a rising hull piece, the page opened from the legend, and the
// Other density dialog's "?". Needs `make web` and tests/web's npm packages.
// Usage: node tools/web_terms_screenshots.js OUTPUT_DIR
'use strict';

const path = require('node:path');
const { launch, openPage } = require('../tests/web/browser');

const screen = { width: 1920, height: 1080 };

// The first pixel of the picture whose tip starts with `words`, down the column at x = `at` of the plot.
function findTip(page, words) {
  return page.evaluate((words) => {
    const c = document.getElementById('picture');
    const session = window.samplerPage.session;
    for (let x = Math.floor(c.clientWidth * 0.62); x < c.clientWidth; x += 3)
      for (let y = 0; y < c.clientHeight; y += 2) if (session.toolTipAt(x, y).startsWith(words)) return { x, y };
    return null;
  }, words);
}

async function main() {
  const out = path.resolve(process.argv[2] || 'docs');
  const browser = await launch();
  try {
    const page = await openPage(browser.context, '{"builtin":"beta-2-3","steps":0,"scale":"log","wholeEnvelope":true}', screen);
    const at = await findTip(page, 'Upper hull');
    if (!at) throw new Error('no hull piece found');
    const box = await page.locator('#picture').boundingBox();
    await page.mouse.move(box.x + at.x, box.y + at.y);
    await page.locator('#plot-tip:not([hidden])').waitFor();
    await page.screenshot({ path: path.join(out, 'terms_hull_tip.png') });

    await page.mouse.move(5, 5);
    await page.locator('.legend-entry', { hasText: 'squeeze' }).click();
    await page.locator('#how-box[open]').waitFor();
    await page.waitForTimeout(300);
    await page.screenshot({ path: path.join(out, 'terms_legend_how.png') });
    await page.locator('#how-box button[value="ok"]').click();

    await page.evaluate(() => window.samplerPage.run(190));
    await page.locator('#density-box[open]').waitFor();
    await page.locator('#density-transform').selectOption('inverse-sqrt');
    await page.locator('.term-help').first().hover();
    await page.screenshot({ path: path.join(out, 'terms_density_help.png') });
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
