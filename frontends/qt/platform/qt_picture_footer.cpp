#include "frontends/qt/platform/qt_picture_footer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/picture_scale.h"
#include "frontends/qt/platform/qt_legend.h"

namespace {

double footerScale(int width) { return pictureScale(Rect{0, 0, width, 300}); }

QFont scaledFont(const QFont& base, double scale) {
  QFont font = base;
  if (base.pointSizeF() > 0) font.setPointSizeF(base.pointSizeF() * scale);
  return font;
}

constexpr int padding = 6;
constexpr int textFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter;

int textWidth(int width, const QtLegend& legend, double scale) {
  return std::max(1, width - static_cast<int>(legend.sizeHint().width() * scale) - 3 * padding);
}

}  // namespace

int pictureFooterHeight(QSize picture, const QString& status, const QtLegend& legend) {
  const double scale = footerScale(picture.width());
  const QFontMetrics metrics(scaledFont(legend.font(), scale));
  const QRect text = metrics.boundingRect(QRect(0, 0, textWidth(picture.width(), legend, scale), 100000),
                                          textFlags, status);
  const int legendHeight = static_cast<int>(legend.sizeHint().height() * scale);
  return std::max(text.height(), legendHeight) + 2 * padding;
}

void paintPictureFooter(QPainter& painter, const QRect& band, const QString& status, QtLegend& legend) {
  const double scale = footerScale(band.width());
  painter.save();
  painter.fillRect(band, Qt::white);
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(band.topLeft(), band.topRight());
  painter.setPen(Qt::black);
  painter.setFont(scaledFont(legend.font(), scale));
  painter.drawText(QRect(band.left() + padding, band.top() + padding, textWidth(band.width(), legend, scale),
                         band.height() - 2 * padding),
                   textFlags, status);
  const QSize legendSize = legend.sizeHint();
  legend.resize(legendSize);
  painter.translate(band.right() - padding - legendSize.width() * scale, band.top() + padding);
  painter.scale(scale, scale);
  legend.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  painter.restore();
}
