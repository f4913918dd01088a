// A Canvas that draws nothing and logs every call, one line each, by the
// rules of the native recorder (tests/web/call_log_canvas.h), so that the
// browser's calls can be compared with the desktop's line by line. Its text
// is 7 pixels a character and 13 a line, whatever the fonts.
'use strict';

function hex6(c) {
  return (c >>> 0).toString(16).padStart(6, '0');
}

function escapedText(text) {
  return text.replace(/\\/g, '\\\\').replace(/\n/g, '\\n');
}

class RecordingCanvas {
  constructor() {
    this.log = [];
  }
  selectPen(c) {
    this.log.push('pen ' + hex6(c));
  }
  selectBrush(c) {
    this.log.push('brush ' + hex6(c));
  }
  selectPenStyle(dashed) {
    this.log.push(dashed ? 'penStyle dashed' : 'penStyle solid');
  }
  setTextColor(c) {
    this.log.push('textColor ' + hex6(c));
  }
  moveTo(x, y) {
    this.log.push('move ' + x + ' ' + y);
  }
  lineTo(x, y) {
    this.log.push('line ' + x + ' ' + y);
  }
  ellipse(l, t, r, b) {
    this.log.push('ellipse ' + [l, t, r, b].join(' '));
  }
  frameRect(l, t, r, b, c) {
    this.log.push('frame ' + [l, t, r, b].join(' ') + ' ' + hex6(c));
  }
  textExtent(text) {
    this.log.push('extent\t' + escapedText(text));
    return [[...text].length * 7, 13];
  }
  drawText(text, l, t, r, b, format) {
    this.log.push('text ' + [l, t, r, b, format].join(' ') + '\t' + escapedText(text));
  }
  setClipRect(l, t, r, b) {
    this.log.push(l === null || l === undefined ? 'clip none' : 'clip ' + [l, t, r, b].join(' '));
  }
  setPenWidth(w) {
    this.log.push('penWidth ' + w);
  }
  setTextScale(s) {
    this.log.push('textScale ' + s);
  }
}
