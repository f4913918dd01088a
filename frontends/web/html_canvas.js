// The Canvas calls on an HTML canvas, drawn as the desktop draws them:
// one-pixel lines walked pixel by pixel as Qt walks them (start pixel in, end
// pixel out, no antialiasing), boxes with exclusive right and bottom edges.
// Wider pens (a picture scaled up), dashed pens and screens with a pixel
// ratio above 1 get smooth lines through pixel centres instead.
'use strict';

function cssColor(c) {
  return 'rgb(' + (c & 0xff) + ',' + ((c >>> 8) & 0xff) + ',' + ((c >>> 16) & 0xff) + ')';
}

// Pixel runs of the one-pixel line from `from` to `to` inside `visible`
// ({left, top, right, bottom}, exclusive), as [x, y, width, height] boxes.
function lineRuns(fx, fy, tx, ty, visible) {
  const runs = [];
  const dx = tx - fx;
  const dy = ty - fy;
  if (dx === 0 && dy === 0) return runs;
  // Steps along y when |dx| < |dy|, so diagonals are x-major.
  const horizontal = Math.abs(dx) >= Math.abs(dy);
  const major = (x, y) => (horizontal ? x : y);
  const minor = (x, y) => (horizontal ? y : x);
  const forward = major(tx, ty) > major(fx, fy);
  const [lx, ly, hx, hy] = forward ? [fx, fy, tx, ty] : [tx, ty, fx, fy];
  const lowMajor = major(lx, ly);
  const lowMinor = minor(lx, ly);
  const span = major(hx, hy) - lowMajor;
  const rise = minor(hx, hy) - lowMinor;
  // The minor coordinate runs in 16.16 fixed point, sampling pixel centres
  // for a positive slope and pixel edges for a negative one.
  const increment = Math.trunc((rise * 65536) / span);
  const first = lowMinor * 65536 + (increment > 0 ? Math.floor((32 * increment) / 64) : 0);
  // Far-off ends are walked in exact arithmetic with the same sampling.
  const exact = span > 1 << 14;
  const minorAt = (m) => {
    if (!exact) return Math.floor((first + (m - lowMajor) * increment) / 65536);
    const numerator = lowMinor * 2 * span + (2 * (m - lowMajor) + (rise > 0 ? 1 : 0)) * rise;
    return Math.floor(numerator / (2 * span));
  };
  const inside = (x, y) => x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom;
  let open = false;
  let start = 0;
  let end = 0;
  let runMinor = 0;
  const flush = () => {
    if (!open) return;
    runs.push(horizontal ? [start, runMinor, end - start, 1] : [runMinor, start, 1, end - start]);
    open = false;
  };
  const add = (m, n) => {
    if (!inside(horizontal ? m : n, horizontal ? n : m)) return;
    if (open && n === runMinor && m === end) {
      ++end;
      return;
    }
    flush();
    open = true;
    start = m;
    end = m + 1;
    runMinor = n;
  };
  // Going backwards the walk starts one step in and ends on the start point.
  let begin = lowMajor + (forward ? 0 : 1);
  let stop = major(hx, hy);
  begin = Math.max(begin, horizontal ? visible.left : visible.top);
  stop = Math.min(stop, horizontal ? visible.right : visible.bottom);
  for (let m = begin; m < stop; ++m) add(m, minorAt(m));
  if (!forward) add(major(hx, hy), minor(hx, hy));
  flush();
  return runs;
}

// The page's font: DejaVu Sans where the system has it, like the desktop's.
const baseFontPixels = 12;
const fontFamily = '"DejaVu Sans", "Bitstream Vera Sans", Verdana, sans-serif';

class HtmlCanvas {
  // `context` draws in CSS pixels on a device of `width` x `height` of them;
  // `ratio` is the device's pixels per CSS pixel.
  constructor(context, width, height, ratio) {
    this.g = context;
    this.bounds = { left: 0, top: 0, right: width, bottom: height };
    this.ratio = ratio;
    this.pen = 0;
    this.brush = 0xffffff;
    this.textColor = 0;
    this.penWidth = 1;
    this.dashed = false;
    // How far along the current polyline a dashed pen has gone, so that its
    // pattern runs on over a curve drawn in one-pixel pieces.
    this.dashRun = 0;
    this.textScale = 1;
    this.x = 0;
    this.y = 0;
    this.clip = null;
    this.g.save();
    this.setFont();
  }
  finish() {
    this.g.restore();
  }
  smooth() {
    return this.penWidth !== 1 || this.ratio !== 1;
  }
  // The dash and the gap of a dashed pen, as the desktop draws them: in pen widths.
  dashPattern() {
    return [6 * this.penWidth, 4 * this.penWidth];
  }
  setFont() {
    this.g.font = Math.round(baseFontPixels * this.textScale * 100) / 100 + 'px ' + fontFamily;
  }
  selectPen(c) {
    this.pen = c;
  }
  selectPenStyle(dashed) {
    this.dashed = dashed;
    this.dashRun = 0;
  }
  selectBrush(c) {
    this.brush = c;
  }
  setTextColor(c) {
    this.textColor = c;
  }
  setPenWidth(w) {
    if (w >= 1) this.penWidth = w;
  }
  setTextScale(s) {
    if (s > 0) {
      this.textScale = s;
      this.setFont();
    }
  }
  moveTo(x, y) {
    if (x !== this.x || y !== this.y) this.dashRun = 0;
    this.x = x;
    this.y = y;
  }
  lineTo(x, y) {
    const g = this.g;
    if (this.dashed) {
      if (x !== this.x || y !== this.y) {
        g.strokeStyle = cssColor(this.pen);
        g.lineWidth = this.penWidth;
        g.lineCap = 'butt';
        g.lineJoin = 'round';
        g.setLineDash(this.dashPattern());
        g.lineDashOffset = this.dashRun;
        g.beginPath();
        g.moveTo(this.x + 0.5, this.y + 0.5);
        g.lineTo(x + 0.5, y + 0.5);
        g.stroke();
        g.setLineDash([]);
        this.dashRun += Math.hypot(x - this.x, y - this.y);
      }
    } else if (this.smooth()) {
      if (x !== this.x || y !== this.y) {
        g.strokeStyle = cssColor(this.pen);
        g.lineWidth = this.penWidth;
        g.lineCap = 'round';
        g.lineJoin = 'round';
        g.beginPath();
        g.moveTo(this.x + 0.5, this.y + 0.5);
        g.lineTo(x + 0.5, y + 0.5);
        g.stroke();
      }
    } else {
      const visible = this.clip ? intersect(this.clip, this.bounds) : this.bounds;
      g.fillStyle = cssColor(this.pen);
      for (const r of lineRuns(this.x, this.y, x, y, visible)) g.fillRect(r[0], r[1], r[2], r[3]);
    }
    this.x = x;
    this.y = y;
  }
  ellipse(l, t, r, b) {
    const w = r - l;
    const h = b - t;
    if (w <= 0 || h <= 0) return;
    const g = this.g;
    // A dot in a small square box: the desktop's own pixels.
    if (!this.smooth() && w === h && w <= ellipseSpans.length) {
      const rows = ellipseSpans[w - 1];
      const pen = cssColor(this.pen);
      const brush = cssColor(this.brush);
      rows.forEach(([s, e, fs, fe], y) => {
        if (e > s) {
          g.fillStyle = pen;
          g.fillRect(l + s, t + y, e - s, 1);
        }
        if (fe > fs) {
          g.fillStyle = brush;
          g.fillRect(l + fs, t + y, fe - fs, 1);
        }
      });
      return;
    }
    g.beginPath();
    g.ellipse(l + w / 2, t + h / 2, Math.max(w - 1, 0.5) / 2, Math.max(h - 1, 0.5) / 2, 0, 0, 2 * Math.PI);
    g.fillStyle = cssColor(this.brush);
    g.fill();
    g.strokeStyle = cssColor(this.pen);
    g.lineWidth = 1;
    g.stroke();
  }
  frameRect(l, t, r, b, c) {
    const w = r - l;
    const h = b - t;
    if (w <= 0 || h <= 0) return;
    const g = this.g;
    g.fillStyle = cssColor(c);
    g.fillRect(l, t, w, 1);
    g.fillRect(l, b - 1, w, 1);
    g.fillRect(l, t, 1, h);
    g.fillRect(r - 1, t, 1, h);
  }
  lineHeight() {
    const m = this.g.measureText('Hg');
    const ascent = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : m.actualBoundingBoxAscent;
    const descent = m.fontBoundingBoxDescent !== undefined ? m.fontBoundingBoxDescent : m.actualBoundingBoxDescent;
    return { ascent: ascent, height: Math.ceil(ascent + descent) };
  }
  textExtent(text) {
    const lines = text.split('\n');
    let width = 0;
    for (const line of lines) width = Math.max(width, Math.round(this.g.measureText(line).width));
    return [width, this.lineHeight().height * lines.length];
  }
  drawText(text, l, t, r, b, format) {
    const g = this.g;
    const DT_CENTER = 0x01;
    const DT_VCENTER = 0x04;
    const DT_SINGLELINE = 0x20;
    const single = (format & DT_SINGLELINE) !== 0;
    const lines = single ? [text.replace(/\n/g, ' ')] : text.split('\n');
    const metrics = this.lineHeight();
    let top = t;
    // Centred vertically only on a single line, as the desktop does.
    if (single && format & DT_VCENTER) top = t + Math.floor((b - t - metrics.height) / 2);
    g.fillStyle = cssColor(this.textColor);
    g.textBaseline = 'alphabetic';
    g.textAlign = format & DT_CENTER ? 'center' : 'left';
    const x = format & DT_CENTER ? (l + r) / 2 : l;
    lines.forEach((line, i) => g.fillText(line, x, top + metrics.ascent + i * metrics.height));
  }
  setClipRect(l, t, r, b) {
    const g = this.g;
    if (this.clip) g.restore();
    this.clip = null;
    if (l === null || l === undefined) return;
    this.clip = { left: l, top: t, right: r, bottom: b };
    g.save();
    g.beginPath();
    g.rect(l, t, r - l, b - t);
    g.clip();
  }
}

function intersect(a, b) {
  return {
    left: Math.max(a.left, b.left),
    top: Math.max(a.top, b.top),
    right: Math.min(a.right, b.right),
    bottom: Math.min(a.bottom, b.bottom),
  };
}
