#include "app/gui/ChartImage.h"
#include "app/gui/TextAsPaths.h"

#include "model/FiniteDiff_1D.h"
#include "support/FileOutput.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QBuffer>
#include <QPointer>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include <algorithm>

namespace brennic {

namespace {

constexpr int SubtitleHeight = 22;

// The subtitle's font, scaled with the picture, and the height it takes
// when wrapped to the picture's width (it is never cut off).
QFont SubtitleFont(const QWidget* page, QSize size)
{
    QFont font = page->font();
    font.setPixelSize(std::max(12, 12 * size.width() / std::max(page->width(), 1)));
    return font;
}

int SubtitleBand(const QWidget* page, const QString& subtitle, QSize size)
{
    const QFontMetrics metrics(SubtitleFont(page, size));
    const QRect r = metrics.boundingRect(QRect(0, 0, size.width() - 12, 10000), Qt::TextWordWrap, subtitle);
    return std::max(SubtitleHeight, r.height() + 6);
}

// The page's controls (buttons, check boxes, lists, sliders) are hidden
// while it is drawn into a picture: a picture shows results, not the
// interface; shown again as they were.
class THiddenControls {
public:
    explicit THiddenControls(QWidget* page)
    {
        for (QWidget* w : page->findChildren<QWidget*>())
            if (w->isVisibleTo(page) && (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                                          qobject_cast<QAbstractSlider*>(w))) {
                w->setVisible(false);
                hidden_.push_back(w);
            }
    }
    ~THiddenControls()
    {
        for (const QPointer<QWidget>& w : hidden_)
            if (w)
                w->setVisible(true);
    }
    THiddenControls(const THiddenControls&) = delete;
    THiddenControls& operator=(const THiddenControls&) = delete;

private:
    std::vector<QPointer<QWidget>> hidden_;
};

// Draws the subtitle band and the page scaled into the rest of the area.
void Draw(QPainter& painter, QWidget* page, const QString& subtitle, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setFont(SubtitleFont(page, size));
    painter.setPen(QColor(64, 64, 64));
    const int band = SubtitleBand(page, subtitle, size);
    painter.drawText(QRect(6, 0, size.width() - 12, band), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                     subtitle);
    painter.translate(0, band);
    const double sx = double(size.width()) / page->width();
    const double sy = double(size.height() - band) / page->height();
    painter.scale(sx, sy);
    const THiddenControls controls(page);
    page->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
}

QSize Final(QWidget* page, QSize size, const QString& subtitle)
{
    if (size.isValid() && !size.isEmpty())
        return size;
    const QSize base(page->width(), page->height());
    return QSize(base.width(), base.height() + SubtitleBand(page, subtitle, base));
}

}  // namespace

QImage ChartPicture(QWidget* page, const QString& subtitle, QSize size)
{
    const QSize target = Final(page, size, subtitle);
    QImage image(target, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, page, subtitle, target);
    return image;
}

void SaveChartPicture(QWidget* page, const QString& subtitle, const QString& path, QSize size)
{
    const QSize target = Final(page, size, subtitle);
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
        // Text as outlines: the picture does not depend on the viewer's fonts.
        TTextAsPaths outlines(&svg);
        QPainter painter(&outlines);
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
