#include "app/gui/StripView.h"

#include <QPainter>

#include <vector>

namespace brennic {

TImgView32::TImgView32(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImgView32::SetSource(const TByteMap* map, const TStripPalette* palette)
{
    map_ = map;
    palette_ = palette;
    Rebuild();
}

void TImgView32::Rebuild()
{
    if (map_ && palette_)
        raster_.Rebuild(*map_, *palette_, width(), height(), first_, count_);
    dirty_ = true;
    update();
}

void TImgView32::SetSpan(std::int32_t first, std::int32_t count)
{
    if (first == first_ && count == count_)
        return;
    first_ = first;
    count_ = count;
    Rebuild();
}

void TImgView32::CellChanged(std::int32_t x, std::int32_t y, std::uint8_t oldIndex)
{
    raster_.CellChanged(x, y, oldIndex, map_->Value(x, y), *palette_);
    dirty_ = true;
}

void TImgView32::ColumnChanged(std::int32_t x, const std::vector<std::uint8_t>& old)
{
    if (!map_ || !raster_.Sums(x))
        return;
    for (std::int32_t y = 0; y < map_->Height(); ++y)
        raster_.CellChanged(x, y, old.empty() ? 0 : old[std::size_t(y)], map_->Value(x, y), *palette_);
    dirty_ = true;
}

QImage TImgView32::Pixels() const
{
    if (dirty_) {
        std::vector<std::uint32_t> pixels;
        raster_.Render(pixels);
        image_ = QImage(raster_.Width(), raster_.Height(), QImage::Format_RGB32);
        for (int y = 0; y < raster_.Height(); ++y)
            std::copy_n(pixels.data() + std::size_t(y) * raster_.Width(), raster_.Width(),
                        reinterpret_cast<std::uint32_t*>(image_.scanLine(y)));
        dirty_ = false;
    }
    return image_;
}

void TImgView32::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage image = Pixels();
    if (image.isNull()) {
        painter.fillRect(rect(), QColor(238, 238, 238));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(rect()), image, QRectF(image.rect()));
}

void TImgView32::resizeEvent(QResizeEvent*)
{
    Rebuild();
}

}  // namespace brennic
