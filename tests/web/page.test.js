// The page in a real browser, driven as a student would: a lesson link,
// the keys and buttons, the density dialog, broken links, the link copied
// back, and a phone's and a projector's screen.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { launch, openPage, state, picture } = require('./browser');

const lessonLink = '{"builtin":"beta-2-3","steps":6}';

// The key the table gives a command, as playwright names it.
async function keyOf(page, id) {
  const key = await page.evaluate((id) => {
    const row = window.samplerPage.core.commands().find((r) => r.id === id);
    return row && row.keys.length > 0 ? row.keys[0] : null;
  }, id);
  assert.ok(key, `command ${id} has a key`);
  const special = { 0x100: 'Backspace', 0x101: 'F11', 0x102: 'Home' }[key.key];
  const name = special || (key.key === 32 ? 'Space' : String.fromCharCode(key.key));
  return (key.control ? 'Control+' : '') + name;
}

async function clickCommand(page, id) {
  const button = page.locator(`.items button[data-command="${id}"]`);
  await page.locator('details.group', { has: button }).locator('summary').click();
  await button.click();
}

// How many pixels of the picture are not white, and whether `color` (0xBBGGRR) is among them.
function inked(page, color) {
  return page.evaluate((color) => {
    const c = document.getElementById('picture');
    const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let ink = 0;
    let found = false;
    for (let i = 0; i < data.length; i += 4) {
      if (data[i] !== 255 || data[i + 1] !== 255 || data[i + 2] !== 255) ++ink;
      if (data[i] === (color & 0xff) && data[i + 1] === ((color >> 8) & 0xff) && data[i + 2] === ((color >> 16) & 0xff)) {
        found = true;
      }
    }
    return { ink, found };
  }, color);
}

test.describe('the page', () => {
  let browser;
  test.before(async () => {
    browser = await launch();
  });
  test.after(async () => {
    if (browser) await browser.close();
  });

  test('a lesson link opens its state, and keys step forward and back', async () => {
    const page = await openPage(browser.context, lessonLink);
    const opened = await state(page);
    assert.equal(opened.message, null);
    assert.equal(opened.lesson.builtin, 'beta-2-3');
    assert.equal(opened.lesson.steps, 6);
    assert.notEqual(opened.status, '');

    await page.keyboard.press(await keyOf(page, 135));  // next step
    const stepped = await state(page);
    assert.equal(stepped.lesson.steps, 7);
    assert.notEqual(stepped.status, opened.status);

    await page.keyboard.press(await keyOf(page, 171));  // step back
    const back = await state(page);
    assert.equal(back.lesson.steps, 6);
    assert.equal(back.status, opened.status);
    assert.deepEqual(await picture(page), await picture(await openPage(browser.context, lessonLink)));
    assert.deepEqual(page.problems, []);
  });

  test('Space animates the steps and stops them again', async () => {
    const page = await openPage(browser.context, lessonLink);
    const animate = page.locator('.items button[data-command="162"]');
    await page.keyboard.press('Space');
    assert.equal(await animate.getAttribute('aria-checked'), 'true');
    await page.waitForFunction(() => JSON.parse(window.samplerPage.session.lessonText()).steps >= 8);
    await page.keyboard.press('Space');
    assert.equal(await animate.getAttribute('aria-checked'), 'false');
    const stopped = (await state(page)).lesson.steps;
    await page.waitForTimeout(1500);
    assert.equal((await state(page)).lesson.steps, stopped);
  });

  test('throwing darts from the toolbar draws them and says so', async (t) => {
    const page = await openPage(browser.context);
    // Measured, not asserted: how long the first picture takes here.
    t.diagnostic(`first picture ${Math.round(await page.evaluate(() => window.samplerPage.firstPictureMs))} ms after navigation`);
    const before = await inked(page, 0);
    const statusBefore = (await state(page)).status;
    await clickCommand(page, 133);
    const after = await state(page);
    assert.notEqual(after.status, statusBefore);
    assert.ok((await inked(page, 0)).ink > before.ink, 'the darts add ink');
    assert.equal(after.message, null);

    // Browsers keep Ctrl+T: the letter alone throws again, with new darts.
    const darts = await picture(page);
    await page.keyboard.press('t');
    assert.notDeepEqual(await picture(page), darts);
    assert.deepEqual(page.problems, []);
  });

  test('Other density takes a typed formula and refuses a broken one', async () => {
    const page = await openPage(browser.context);
    await clickCommand(page, 190);
    await page.locator('#density-box[open]').waitFor();
    await page.locator('#density-formula').fill('exp(-x^2/2');
    assert.notEqual(await page.locator('#density-problem').textContent(), '');
    assert.equal(await page.locator('#density-ok').isDisabled(), true);

    await page.locator('#density-formula').fill('exp(-abs(x))');
    await page.locator('#density-lower').fill('-3');
    await page.locator('#density-upper').fill('4');
    assert.equal(await page.locator('#density-problem').textContent(), '');
    await page.locator('#density-ok').click();
    // The dialog answers on its close event, which comes after the click.
    await page.waitForFunction(() => !document.getElementById('density-box').open);
    await page.waitForFunction(() => JSON.parse(window.samplerPage.session.lessonText()).density === 'exp(-abs(x))');
    const chosen = await state(page);
    assert.equal(chosen.message, null);
    assert.equal(chosen.lesson.density, 'exp(-abs(x))');
    assert.equal(chosen.lesson.lower, -3);
    assert.equal(chosen.lesson.upper, 4);
    assert.deepEqual(page.problems, []);
  });

  test('a heavy-tailed density is offered -1/sqrt(f), and taking it throws the darts', async () => {
    const page = await openPage(browser.context);
    await clickCommand(page, 190);
    await page.locator('#density-formula').fill('1/(1+x^2)');
    await page.locator('#density-ok').click();
    await page.waitForFunction(() => JSON.parse(window.samplerPage.session.lessonText()).density === '1/(1+x^2)');
    await page.keyboard.press(await keyOf(page, 133));
    await page.locator('#message-box[open]').waitFor();
    assert.match((await state(page)).message, /not log-concave/);
    assert.equal(await page.locator('#message-action').isVisible(), true);
    await page.locator('#message-action').click();
    // The dialog's close event, which answers, comes after the click.
    await page.waitForFunction(() => !document.getElementById('message-box').open);
    await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('5000 darts'));
    const taken = await state(page);
    assert.equal(taken.message, null);
    assert.match(taken.status, /^5000 darts/);
    assert.equal(taken.lesson.transform, 'inverse-sqrt');
  });

  test('a broken link says why and keeps the state on screen', async () => {
    const page = await openPage(browser.context, lessonLink);
    const kept = await state(page);
    for (const broken of ['#{"builtin":"beta-2-3","steps":', '#%E0%A4%A', '#' + encodeURIComponent('{"builtin":"no-such-kind"}')]) {
      await page.evaluate((hash) => {
        location.hash = hash;
      }, broken);
      await page.locator('#message-box[open]').waitFor();
      const after = await state(page);
      assert.match(after.message, /\S/);
      assert.deepEqual(after.lesson, kept.lesson);
      assert.equal(after.status, kept.status);
      await page.locator('#message-ok').click();
    }
  });

  test('a copied link reopens the same picture, and the same darts follow', async () => {
    const page = await openPage(browser.context, lessonLink);
    await page.keyboard.press(await keyOf(page, 135));
    await page.keyboard.press(await keyOf(page, 135));
    await page.keyboard.press(await keyOf(page, 112));  // log scale
    await page.locator('#copy-link').evaluate((b) => b.click());
    await page.locator('#link-box[open]').waitFor();
    const link = await page.locator('#link-text').inputValue();
    assert.ok(link.startsWith('file://') && link.includes('#%7B'), link);
    await page.locator('#link-box button').click();
    const copy = await browser.context.newPage();
    await copy.goto(link);
    await copy.waitForFunction(() => window.samplerPage && window.samplerPage.firstPictureMs !== null);
    assert.deepEqual((await state(copy)).lesson, (await state(page)).lesson);
    assert.equal((await state(copy)).status, (await state(page)).status);
    assert.deepEqual(await picture(copy), await picture(page));
    // A lesson keeps no darts, but its random state: the next throw is the same.
    for (const p of [page, copy]) await p.keyboard.press(await keyOf(p, 133));
    assert.deepEqual(await picture(copy), await picture(page));
  });

  test('a lesson saved as a download opens again by the file picker and by a drop', async () => {
    const page = await openPage(browser.context, lessonLink);
    await page.keyboard.press(await keyOf(page, 135));
    const saved = await state(page);
    const [download] = await Promise.all([page.waitForEvent('download'), clickCommand(page, 192)]);
    const text = fs.readFileSync(await download.path(), 'utf8');
    assert.deepEqual(JSON.parse(text), saved.lesson);

    const fresh = await openPage(browser.context);
    const [chooser] = await Promise.all([fresh.waitForEvent('filechooser'), clickCommand(fresh, 191)]);
    await chooser.setFiles({ name: 'lesson.json', mimeType: 'application/json', buffer: Buffer.from(text) });
    await fresh.waitForFunction((steps) => JSON.parse(window.samplerPage.session.lessonText()).steps === steps, saved.lesson.steps);
    assert.deepEqual((await state(fresh)).lesson, saved.lesson);
    assert.deepEqual(await picture(fresh), await picture(page));

    const dropped = await openPage(browser.context);
    await dropped.evaluate((text) => {
      const data = new DataTransfer();
      data.items.add(new File([text], 'lesson.json', { type: 'application/json' }));
      document.getElementById('stage').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true }));
    }, text);
    await dropped.waitForFunction((steps) => JSON.parse(window.samplerPage.session.lessonText()).steps === steps, saved.lesson.steps);
    assert.deepEqual((await state(dropped)).lesson, saved.lesson);
  });

  test('Help > How it works shows the page of the core with its diagrams, and the panels draw in the picture', async () => {
    const page = await openPage(browser.context, lessonLink, { width: 390, height: 844 });
    await clickCommand(page, 182);
    await page.locator('#how-box[open]').waitFor();
    const shown = await page.evaluate(() => ({
      headings: Array.from(document.querySelectorAll('#how-page h3'), (h) => h.textContent),
      diagrams: Array.from(document.querySelectorAll('#how-page canvas.how-diagram'), (c) => {
        const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        let ink = 0;
        for (let i = 0; i < data.length; i += 4) if (data[i] !== 255 || data[i + 1] !== 255 || data[i + 2] !== 255) ++ink;
        return { ink, right: c.getBoundingClientRect().right };
      }),
    }));
    assert.ok(shown.headings.some((h) => h.includes('log-concavity')), shown.headings.join(' | '));
    assert.ok(shown.diagrams.length >= 3);
    for (const d of shown.diagrams) {
      assert.ok(d.ink > 1000, 'each diagram is drawn');
      assert.ok(d.right <= 390, 'and fits a phone');
    }
    await page.locator('#how-box button[value="ok"]').click();
    assert.equal(await page.locator('#how-box[open]').count(), 0);

    // The why panel takes part of the picture: the status line stays as it was.
    const status = (await state(page)).status;
    const before = await picture(page);
    await clickCommand(page, 201);
    assert.equal((await state(page)).status, status);
    assert.notDeepEqual(await picture(page), before);
    assert.deepEqual(page.problems, []);
  });

  test('terms lead to How it works: the legend, the tip over the hull and the dialog\'s "?"', async () => {
    const page = await openPage(browser.context, '{"builtin":"beta-2-3","steps":0}');
    const hull = page.locator('.legend-entry', { hasText: 'upper hull' });
    assert.match(await hull.getAttribute('title'), /^Upper hull/);
    await hull.click();
    await page.locator('#how-box[open]').waitFor();
    assert.ok(await page.evaluate(() => document.getElementById('how-page').scrollTop > 0), 'opened at the hull');
    await page.locator('#how-box button[value="ok"]').click();
    await page.waitForFunction(() => !document.getElementById('how-box').open);

    // Beta(2,3) at the start drops vertically at an outer point: the tip says why, a click explains more.
    const drop = await page.evaluate(() => {
      const c = document.getElementById('picture');
      const session = window.samplerPage.session;
      for (let x = 0; x < c.clientWidth; x += 2)
        for (let y = 0; y < c.clientHeight; y += 2) if (session.toolTipAt(x, y).startsWith('A vertical')) return { x, y };
      return null;
    });
    assert.ok(drop, 'a vertical drop is found');
    const box = await page.locator('#picture').boundingBox();
    await page.mouse.move(box.x + drop.x, box.y + drop.y);
    await page.locator('#plot-tip:not([hidden])').waitFor();
    assert.match(await page.locator('#plot-tip-text').textContent(), /two extended secants meet/);
    await page.mouse.click(box.x + drop.x, box.y + drop.y);
    await page.locator('#how-box[open]').waitFor();
    await page.locator('#how-box button[value="ok"]').click();
    await page.waitForFunction(() => !document.getElementById('how-box').open);

    // A tap, as on a phone, pins the tip with a link to the page.
    await page.evaluate(({ x, y }) => {
      const c = document.getElementById('picture');
      const r = c.getBoundingClientRect();
      const at = { clientX: r.left + x, clientY: r.top + y, bubbles: true };
      c.dispatchEvent(new PointerEvent('pointerdown', { ...at, pointerType: 'touch' }));
      c.dispatchEvent(new MouseEvent('click', at));
    }, drop);
    await page.locator('#plot-tip-link:not([hidden])').click();
    await page.locator('#how-box[open]').waitFor();
    await page.locator('#how-box button[value="ok"]').click();
    await page.waitForFunction(() => !document.getElementById('how-box').open);

    await clickCommand(page, 190);
    await page.locator('#density-box[open]').waitFor();
    const help = page.locator('.term-help[data-anchor="t-scale"]');
    assert.equal(await help.count(), 2);
    assert.match(await help.first().getAttribute('title'), /^T scale/);
    await help.first().click();
    await page.locator('#how-box[open]').waitFor();
    await page.locator('#how-box button[value="ok"]').click();
    assert.equal(await page.locator('#density-box[open]').count(), 1, 'the density dialog stays open');
    await page.locator('#density-cancel').click();
    assert.deepEqual(page.problems, []);
  });

  test('the page fits a phone and a projector', async () => {
    for (const viewport of [{ width: 390, height: 844 }, { width: 1920, height: 1080 }]) {
      const page = await openPage(browser.context, lessonLink, viewport);
      const fit = await page.evaluate(() => {
        const c = document.getElementById('picture').getBoundingClientRect();
        const summaries = Array.from(document.querySelectorAll('#toolbar summary, #toolbar .quick-bar button'), (s) => s.getBoundingClientRect());
        return {
          right: c.right,
          bottom: document.getElementById('statusbar').getBoundingClientRect().bottom,
          pictureHeight: c.height,
          smallestButton: Math.min(...summaries.map((r) => Math.min(r.width, r.height))),
          scrolls: document.documentElement.scrollWidth > window.innerWidth,
        };
      });
      assert.ok(fit.right <= viewport.width, 'the picture fits across');
      assert.ok(fit.bottom <= viewport.height + 0.5, 'the status line is on screen');
      assert.ok(fit.pictureHeight >= viewport.height / 2, 'the picture takes most of the screen');
      assert.ok(fit.smallestButton >= 44, 'buttons are large enough to touch');
      assert.equal(fit.scrolls, false);
      // A lesson's next step is one tap, without opening a menu.
      const steps = (await state(page)).lesson.steps;
      await page.locator('.quick-bar button[data-command="135"]').click();
      assert.equal((await state(page)).lesson.steps, steps + 1);
    }
  });
});
