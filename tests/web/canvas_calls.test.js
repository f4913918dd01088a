// The Canvas calls of the six built-in kinds' pictures, and of two typed
// densities opened as lessons (muparser compiled twice), recorded in the
// browser from the WebAssembly core, equal those the desktop's core makes
// (web_canvas_calls, built natively) under the same recording rules.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const { launch, openPage } = require('./browser');

const scenarioFile = path.join(__dirname, 'canvas_scenario.txt');
const nativeTool = process.env.ARS_WEB_CANVAS_CALLS || path.resolve(__dirname, '../../build/release/tests/web_canvas_calls');

// The scenario run by the page's core on a fresh session, with the recording canvas.
function browserCalls(page, kind) {
  return page.evaluate(
    ({ scenario, kind }) => {
      const session = new window.samplerPage.core.Session();
      const out = [];
      try {
        for (const line of scenario.split('\n')) {
          const words = line.trim().split(/\s+/);
          if (words[0] === '' || words[0].startsWith('#')) continue;
          if (words[0] === 'size') session.resize(Number(words[1]), Number(words[2]));
          else if (words[0] === 'density') session.apply(120 + kind);
          else if (words[0] === 'apply') session.apply(Number(words[1]));
          else if (words[0] === 'lesson') session.openLessonText(line.trim().slice('lesson'.length).trim());
          else if (words[0] === 'tick') session.tick();
          else if (words[0] === 'paint') {
            const canvas = new RecordingCanvas();
            session.paint(canvas);
            out.push('paint', ...canvas.log);
          } else throw new Error('unknown step ' + words[0]);
        }
      } finally {
        session.delete();
      }
      return out.join('\n') + '\n';
    },
    { scenario: fs.readFileSync(scenarioFile, 'utf8'), kind }
  );
}

// The first line where two logs part, with its neighbours.
function firstDifference(a, b) {
  const x = a.split('\n');
  const y = b.split('\n');
  for (let i = 0; i < Math.max(x.length, y.length); ++i) {
    if (x[i] !== y[i]) return `line ${i + 1}: native "${x[i]}", browser "${y[i]}" (after "${x[i - 1]}")`;
  }
  return 'none';
}

test('the built-in kinds draw with the same calls in the browser as natively', async (t) => {
  assert.ok(fs.existsSync(nativeTool), `${nativeTool} is built (cmake --build build/release --target web_canvas_calls)`);
  const browser = await launch();
  try {
    const page = await openPage(browser.context);
    for (let kind = 1; kind <= 6; ++kind) {
      const native = execFileSync(nativeTool, [scenarioFile, String(kind)], { encoding: 'utf8', maxBuffer: 1 << 28 });
      const browserLog = await browserCalls(page, kind);
      const paints = native.split('\n').filter((l) => l === 'paint').length;
      t.diagnostic(`kind ${kind}: ${native.split('\n').length - 1} calls in ${paints} pictures`);
      assert.ok(native.length > 1000, `kind ${kind} draws something`);
      assert.ok(native === browserLog, `kind ${kind}: first difference at ${firstDifference(native, browserLog)}`);
    }
  } finally {
    await browser.close();
  }
});
