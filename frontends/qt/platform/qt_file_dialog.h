#pragma once
// File dialogs at the window's scale: on a projector the lesson and picture
// dialogs grow with the picture behind them, within the screen.
#include <QString>

class QWidget;

enum class FileAsk { open, save };

// The path chosen, or an empty string when cancelled. `filter` is the
// filters as QFileDialog takes them; `chosenFilter`, if given, receives the
// one selected.
QString askFilePath(QWidget* owner, FileAsk ask, const QString& caption, const QString& startName,
                    const QString& filter, double scale, QString* chosenFilter = nullptr);
