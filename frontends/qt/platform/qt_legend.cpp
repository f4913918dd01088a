#include "frontends/qt/platform/qt_legend.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>
#include <algorithm>
#include <string>

namespace {
constexpr int rowsPerColumn = 3;
constexpr int baseSwatchWidth = 12;
constexpr int gap = 4;         // between swatch and name
constexpr int columnGap = 8;

QColor toQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}
}  // namespace

QtLegend::QtLegend(const std::vector<LegendEntry>& entries, QWidget* parent)
    : QWidget(parent), entries_(entries), baseLineHeight_(fontMetrics().height()) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool QtLegend::setEntries(const std::vector<LegendEntry>& entries) {
  const auto same = [](const LegendEntry& a, const LegendEntry& b) {
    return std::string(a.name) == b.name && a.color == b.color && a.swatch == b.swatch && a.outline == b.outline;
  };
  if (std::equal(entries.begin(), entries.end(), entries_.begin(), entries_.end(), same)) return false;
  entries_ = entries;
  setMinimumSize(sizeHint());
  updateGeometry();
  update();
  return true;
}

double QtLegend::growth() const {
  return std::max(1.0, fontMetrics().height() / static_cast<double>(std::max(1, baseLineHeight_)));
}

int QtLegend::swatchWidth() const { return static_cast<int>(baseSwatchWidth * growth() + 0.5); }

int QtLegend::rows() const { return std::min(rowsPerColumn, static_cast<int>(entries_.size())); }

int QtLegend::columns() const { return static_cast<int>((entries_.size() + rowsPerColumn - 1) / rowsPerColumn); }

int QtLegend::columnWidth(int column) const {
  int widest = 0;
  const std::size_t end = std::min(entries_.size(), static_cast<std::size_t>(column + 1) * rowsPerColumn);
  for (std::size_t i = static_cast<std::size_t>(column) * rowsPerColumn; i < end; ++i)
    widest = std::max(widest, fontMetrics().horizontalAdvance(QString::fromUtf8(entries_[i].name)));
  return swatchWidth() + gap + widest;
}

QSize QtLegend::sizeHint() const {
  int width = 0;
  for (int c = 0; c < columns(); ++c) width += columnWidth(c) + (c > 0 ? columnGap : 0);
  // A few pixels after the last text, which the font may draw past its advance.
  return QSize(width + gap, rows() * fontMetrics().height());
}

QRect QtLegend::swatchRect(int i) const {
  const int column = i / rowsPerColumn;
  const int row = i % rowsPerColumn;
  int x = 0;
  for (int c = 0; c < column; ++c) x += columnWidth(c) + columnGap;
  const int lineHeight = fontMetrics().height();
  return QRect(x, row * lineHeight, swatchWidth(), lineHeight);
}

int QtLegend::entryAt(QPoint at) const {
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    const QRect swatch = swatchRect(i);
    if (QRect(swatch.topLeft(), QSize(columnWidth(i / rowsPerColumn), swatch.height())).contains(at)) return i;
  }
  return -1;
}

bool QtLegend::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const int entry = entryAt(help->pos());
  const std::string tip = entry >= 0 && tipOf_ ? tipOf_(entry) : std::string();
  if (tip.empty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
  }
  return true;
}

void QtLegend::mouseReleaseEvent(QMouseEvent* event) {
  const int entry = entryAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && entry >= 0 && clicked_) clicked_(entry);
  QWidget::mouseReleaseEvent(event);
}

void QtLegend::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    const LegendEntry& entry = entries_[i];
    const QRect swatch = swatchRect(i);
    const QPoint centre = swatch.center();
    const int radius = static_cast<int>(3 * growth() + 0.5);
    const QRect box(centre.x() - radius, centre.y() - radius, 2 * radius + 1, 2 * radius + 1);
    switch (entry.swatch) {
      case LegendSwatch::Dot:
        // The candidate's size; the picture's dots are smaller but the colour counts here.
        painter.setPen(toQColor(entry.outline));
        painter.setBrush(toQColor(entry.color));
        painter.drawEllipse(box);
        break;
      case LegendSwatch::Square:
        painter.setPen(toQColor(entry.outline));
        painter.setBrush(toQColor(entry.color));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        break;
      case LegendSwatch::Cross:
        painter.setPen(QPen(toQColor(entry.color), std::max(2.0, growth() * 2)));
        painter.drawLine(box.topLeft(), box.bottomRight());
        painter.drawLine(box.bottomLeft(), box.topRight());
        break;
      case LegendSwatch::Line: {
        const int thickness = static_cast<int>(2 * growth() + 0.5);
        painter.fillRect(QRect(swatch.left(), centre.y() - thickness / 2, swatch.width(), thickness),
                         toQColor(entry.color));
        break;
      }
      case LegendSwatch::DashedLine: {
        // Two dashes and the gap between them, as the picture's dashed lines show.
        const int thickness = static_cast<int>(2 * growth() + 0.5);
        const int dash = swatch.width() * 2 / 5;
        const QRect first(swatch.left(), centre.y() - thickness / 2, dash, thickness);
        painter.fillRect(first, toQColor(entry.color));
        painter.fillRect(first.translated(swatch.width() - dash, 0), toQColor(entry.color));
        break;
      }
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect text(swatch.right() + 1 + gap, swatch.top(), width(), swatch.height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(entry.name));
  }
}
