// Pictures of a page to post or keep: PNG or SVG, at the page's size or a
// chosen one, with a subtitle that says what was simulated.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace brennic {

// The page drawn at the given size (its own size when empty), with the
// subtitle in a band above it.
QImage ChartPicture(QWidget* page, const QString& subtitle, QSize size = QSize());

// PNG or SVG by the file's extension; throws EBrennicError naming the file.
void SaveChartPicture(QWidget* page, const QString& subtitle, const QString& path, QSize size = QSize());

}  // namespace brennic
