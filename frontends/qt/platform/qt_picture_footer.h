#pragma once
// The band under a saved picture: the status text at the left and the
// legend at the right, both grown with the picture as the window's own
// picture grows.
#include <QRect>
#include <QString>

class QPainter;
class QtLegend;

int pictureFooterHeight(QSize picture, const QString& status, const QtLegend& legend);
void paintPictureFooter(QPainter& painter, const QRect& band, const QString& status, QtLegend& legend);
