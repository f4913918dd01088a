// The page's one-pixel lines (html_canvas.js) set the same pixels as the
// desktop's (frontends/qt/platform/qt_line_raster.cpp, through web_line_runs): steep,
// flat, backwards, clipped and far-off lines.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { execFileSync } = require('node:child_process');

const tool = process.env.ARS_WEB_LINE_RUNS || path.resolve(__dirname, '../../build/release/tests/web_line_runs');
const page = {};
vm.runInNewContext(
  fs.readFileSync(path.resolve(__dirname, '../../frontends/web/html_canvas.js'), 'utf8') + '\nthis.lineRuns = lineRuns;',
  page
);

// A fixed pseudo-random sequence, so that a failure can be replayed.
function generator(seed) {
  let s = seed >>> 0;
  return (n) => {
    s = (Math.imul(s, 1664525) + 1013904223) >>> 0;
    return s % n;
  };
}

function segments() {
  const next = generator(2026);
  const far = 1 << 20;
  const list = [];
  for (let i = 0; i < 3000; ++i) {
    const box = i % 3 === 0 ? [40 + next(40), 30 + next(40), 200 + next(60), 150 + next(40)] : [0, 0, 320, 240];
    list.push([next(400) - 40, next(320) - 40, next(400) - 40, next(320) - 40, ...box]);
  }
  for (const [x, y] of [[far, 100], [-far, 50], [150, far], [160, -far], [far, far], [-far, 7 * far / 8]]) {
    list.push([100, 120, x, y, 0, 0, 320, 240], [x, y, 100, 120, 0, 0, 320, 240]);
  }
  list.push([10, 10, 10, 10, 0, 0, 320, 240], [5, 5, 6, 5, 0, 0, 320, 240], [6, 5, 5, 5, 0, 0, 320, 240]);
  return list;
}

test('one-pixel lines set the desktop pixels', () => {
  assert.ok(fs.existsSync(tool), `${tool} is built (cmake --build build/release --target web_line_runs)`);
  const list = segments();
  const native = execFileSync(tool, { input: list.map((s) => s.join(' ')).join('\n') + '\n', encoding: 'utf8', maxBuffer: 1 << 26 }).split('\n');
  list.forEach((s, i) => {
    const [x0, y0, x1, y1, left, top, right, bottom] = s;
    const ours = page.lineRuns(x0, y0, x1, y1, { left, top, right, bottom }).map((r) => r.join(' ')).join(' ');
    assert.equal(ours, native[i], `line ${s.slice(0, 4).join(',')} in box ${s.slice(4).join(',')}`);
  });
});
