#pragma once
// Reads the golden files in tests/golden/: "# key value ..." lines, envelope
// blocks ("P" and "S" lines) and bare rows of numbers, all printed with 17
// significant digits so that they read back as the same doubles.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

class ReferenceFile {
 public:
  explicit ReferenceFile(const std::string& path) : path_(path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    for (std::string line; std::getline(in, line);) lines_.push_back(line);
  }

  bool atEnd() const { return pos_ >= lines_.size(); }
  const std::string& peek() const { return lines_.at(pos_); }
  std::string next() { return lines_.at(pos_++); }
  bool peekStartsWith(const std::string& prefix) const {
    return !atEnd() && peek().compare(0, prefix.size(), prefix) == 0;
  }

  // The words of the next line, which must start with the given prefix.
  std::vector<std::string> expect(const std::string& prefix) {
    if (!peekStartsWith(prefix)) {
      throw std::runtime_error(path_ + ": expected '" + prefix + "', found '" +
                               (atEnd() ? std::string("end of file") : peek()) + "'");
    }
    return words(next().substr(prefix.size()));
  }
  // "# key value": the value as a double.
  double value(const std::string& key) { return number(expect("# " + key + " ").at(0)); }

  static std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
  }
  static double number(const std::string& word) { return std::strtod(word.c_str(), nullptr); }

 private:
  std::string path_;
  std::vector<std::string> lines_;
  std::size_t pos_ = 0;
};
