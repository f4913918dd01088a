// The page's dashed pen (html_canvas.js): a curve drawn in one-pixel pieces
// keeps one dash pattern along it, as the desktop's path does, instead of
// starting each piece with a dash (which would draw it solid).
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const page = {};
vm.runInNewContext(
  fs.readFileSync(path.resolve(__dirname, '../../frontends/web/html_canvas.js'), 'utf8') +
    '\nthis.HtmlCanvas = HtmlCanvas;',
  page
);

// A 2D context that keeps each stroke's dash pattern and offset.
function recordingContext() {
  const strokes = [];
  let dash = [];
  const g = {
    strokes,
    save() {},
    restore() {},
    beginPath() {},
    moveTo() {},
    lineTo() {},
    fillRect() {},
    setLineDash(d) {
      dash = d;
    },
    stroke() {
      strokes.push({ dash: dash.slice(), offset: g.lineDashOffset, width: g.lineWidth });
    },
  };
  return g;
}

test('a dashed polyline runs its pattern on from piece to piece, and a solid pen is solid again', () => {
  const g = recordingContext();
  const canvas = new page.HtmlCanvas(g, 100, 100, 1);
  canvas.setPenWidth(2);
  canvas.selectPenStyle(true);
  canvas.moveTo(10, 10);
  for (let x = 11; x <= 14; ++x) canvas.lineTo(x, 10);
  assert.deepEqual(
    g.strokes.map((s) => s.offset),
    [0, 1, 2, 3]
  );
  assert.ok(g.strokes.every((s) => s.dash.join() === '12,8' && s.width === 2));
  // A jump starts the pattern afresh; a move to where the line stands does not.
  canvas.moveTo(14, 10);
  canvas.lineTo(14, 13);
  canvas.moveTo(50, 50);
  canvas.lineTo(53, 54);
  assert.deepEqual(
    g.strokes.slice(4).map((s) => s.offset),
    [4, 0]
  );
  canvas.selectPenStyle(false);
  canvas.moveTo(0, 0);
  canvas.lineTo(20, 0);
  assert.equal(g.strokes[g.strokes.length - 1].dash.length, 0);
});
