// The page's small dots (frontends/web/ellipse_spans.js) are the desktop's
// pixels: the table equals what Qt draws now (web_ellipse_spans).
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { execFileSync } = require('node:child_process');

const tool = process.env.ARS_WEB_ELLIPSE_SPANS || path.resolve(__dirname, '../../build/release/tests/web_ellipse_spans');

test('small dots set the desktop pixels', () => {
  assert.ok(fs.existsSync(tool), `${tool} is built (cmake --build build/release --target web_ellipse_spans)`);
  const page = {};
  vm.runInNewContext(
    fs.readFileSync(path.resolve(__dirname, '../../frontends/web/ellipse_spans.js'), 'utf8') + '\nthis.spans = JSON.stringify(ellipseSpans);',
    page
  );
  const qt = JSON.parse(execFileSync(tool, { encoding: 'utf8', env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } }));
  const spans = JSON.parse(page.spans);
  assert.equal(spans.length, qt.length);
  qt.forEach((rows, i) => assert.deepEqual(spans[i], rows, `a dot in a box of ${i + 1} pixels`));
});
