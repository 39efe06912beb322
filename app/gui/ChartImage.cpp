#include "app/gui/ChartImage.h"

#include "model/FiniteDiff_1D.h"
#include "support/FileOutput.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

namespace brennic {

namespace {

constexpr int SubtitleHeight = 22;

// Draws the subtitle band and the page scaled into the rest of the area.
void Draw(QPainter& painter, QWidget* page, const QString& subtitle, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    QFont font = page->font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(64, 64, 64));
    painter.drawText(QRect(6, 0, size.width() - 12, SubtitleHeight), Qt::AlignVCenter | Qt::AlignLeft, subtitle);
    painter.translate(0, SubtitleHeight);
    const double sx = double(size.width()) / page->width();
    const double sy = double(size.height() - SubtitleHeight) / page->height();
    painter.scale(sx, sy);
    page->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
}

QSize Final(QWidget* page, QSize size)
{
    return size.isValid() && !size.isEmpty() ? size : QSize(page->width(), page->height() + SubtitleHeight);
}

}  // namespace

QImage ChartPicture(QWidget* page, const QString& subtitle, QSize size)
{
    const QSize target = Final(page, size);
    QImage image(target, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, page, subtitle, target);
    return image;
}

void SaveChartPicture(QWidget* page, const QString& subtitle, const QString& path, QSize size)
{
    const QSize target = Final(page, size);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(target);
        svg.setViewBox(QRect(QPoint(0, 0), target));
        svg.setResolution(96);  // so that its size in millimetres is the pixel size on screen
        svg.setTitle(QStringLiteral("Brennic"));
        svg.setDescription(subtitle);
        QPainter painter(&svg);
        Draw(painter, page, subtitle, target);
    } else if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        ChartPicture(page, subtitle, target).save(&buffer, "PNG");
    } else {
        throw EBrennicError(path.toStdString() + ": a chart is saved as .png or .svg");
    }
    buffer.close();
    // Written like every other file: whole, or not at all.
    WriteFileAtomically(QFile::encodeName(path).toStdString(),
                        std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace brennic
