#pragma once
// The legend beside the status line: a small swatch and a name for each
// colour of the picture, in columns of three. Each entry has a hover tip
// and may be clicked, both answered by the owner's functions.
#include <QWidget>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "platform/legend_entry.h"

class QtLegend : public QWidget {
 public:
  explicit QtLegend(const std::vector<LegendEntry>& entries, QWidget* parent = nullptr);

  // What the picture shows changed; the legend grows or shrinks with it.
  // False when these are the entries shown already.
  bool setEntries(const std::vector<LegendEntry>& entries);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  // Where the swatch of entry i is drawn, for checks of what the legend shows.
  QRect swatchRect(int i) const;
  // The entry whose swatch or name lies at `at`; -1 for none.
  int entryAt(QPoint at) const;
  void setTips(std::function<std::string(int)> tipOf) { tipOf_ = std::move(tipOf); }
  void setClicked(std::function<void(int)> clicked) { clicked_ = std::move(clicked); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int columnWidth(int column) const;
  int rows() const;
  int columns() const;
  // Swatches grow with the font, from the size they have with the first one.
  double growth() const;
  int swatchWidth() const;

  std::vector<LegendEntry> entries_;
  int baseLineHeight_;
  std::function<std::string(int)> tipOf_;
  std::function<void(int)> clicked_;
};
