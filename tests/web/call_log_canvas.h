#pragma once
// The native half of the browser's recording canvas
// (frontends/web/recording_canvas.js): every call one line, in the same
// words, with text 7 pixels a character and 13 a line.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/canvas.h"

class CallLogCanvas : public Canvas {
 public:
  Color selectPen(Color c) override { return select("pen ", pen_, c); }
  Color selectBrush(Color c) override { return select("brush ", brush_, c); }
  Color setTextColor(Color c) override { return select("textColor ", text_, c); }
  PenStyle selectPenStyle(PenStyle style) override {
    add(style == PenStyle::dashed ? "penStyle dashed" : "penStyle solid");
    const PenStyle previous = style_;
    style_ = style;
    return previous;
  }
  void moveTo(int x, int y) override { add("move " + numbers({x, y})); }
  void lineTo(int x, int y) override { add("line " + numbers({x, y})); }
  void ellipse(int l, int t, int r, int b) override { add("ellipse " + numbers({l, t, r, b})); }
  void frameRect(const Rect& r, Color c) override {
    add("frame " + numbers({r.left, r.top, r.right, r.bottom}) + " " + hex6(c));
  }
  Size textExtent(const std::string& text) override {
    add("extent\t" + escaped(text));
    return {7 * codePoints(text), 13};
  }
  void drawText(const std::string& text, const Rect& r, unsigned format) override {
    add("text " + numbers({r.left, r.top, r.right, r.bottom, static_cast<int>(format)}) + "\t" + escaped(text));
  }
  void setClipRect(const Rect* r) override {
    add(r ? "clip " + numbers({r->left, r->top, r->right, r->bottom}) : std::string("clip none"));
  }
  void setPenWidth(int width) override { add("penWidth " + std::to_string(width)); }
  void setTextScale(double scale) override {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, scale).ptr;
    add("textScale " + std::string(buffer, end));
  }

  std::vector<std::string> log;

 private:
  void add(std::string line) { log.push_back(std::move(line)); }
  Color select(const char* word, Color& slot, Color c) {
    add(word + hex6(c));
    const Color previous = slot;
    slot = c;
    return previous;
  }
  static std::string hex6(Color c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06x", static_cast<unsigned>(c));
    return buffer;
  }
  static std::string numbers(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += (s.empty() ? "" : " ") + std::to_string(v);
    return s;
  }
  static std::string escaped(const std::string& text) {
    std::string s;
    for (char c : text) {
      if (c == '\\') s += "\\\\";
      else if (c == '\n') s += "\\n";
      else s += c;
    }
    return s;
  }
  static int codePoints(const std::string& text) {
    int n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
  }

  Color pen_ = 0x00000000;
  Color brush_ = 0x00FFFFFF;
  Color text_ = 0x00000000;
  PenStyle style_ = PenStyle::solid;
};
