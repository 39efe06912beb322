#include "app/core/results/StripRaster.h"

#include <algorithm>

namespace brennic {

void TStripRaster::Rebuild(const TByteMap& map, const TStripPalette& palette, int viewWidth, int viewHeight,
                           std::int32_t first, std::int32_t count)
{
    mapWidth_ = map.Width();
    mapHeight_ = map.Height();
    first_ = std::clamp<std::int32_t>(first, 0, mapWidth_);
    span_ = count < 0 ? mapWidth_ - first_ : std::min<std::int32_t>(count, mapWidth_ - first_);
    cols_ = std::max(0, std::min<int>(span_, std::max(1, viewWidth)));
    rows_ = std::max(0, std::min<int>(mapHeight_, std::max(1, viewHeight)));
    sums_.assign(std::size_t(cols_) * rows_ * 3, 0);
    colCount_.assign(cols_, 0);
    rowCount_.assign(rows_, 0);
    if (cols_ == 0 || rows_ == 0)
        return;
    // Far more columns than pixels: every stride_-th column stands for its
    // neighbours, at least SamplesPerPixel of them per pixel.
    stride_ = std::max<std::int32_t>(1, span_ / (std::int32_t(cols_) * SamplesPerPixel));
    const std::int32_t end = first_ + span_;
    for (std::int32_t x = first_; x < end; x += stride_) ++colCount_[TargetColumn(x)];
    for (std::int32_t y = 0; y < mapHeight_; ++y) ++rowCount_[TargetRow(y)];
    // Column by column, as the map keeps its cells.
    for (std::int32_t x = first_; x < end; x += stride_) {
        const int tx = TargetColumn(x);
        for (std::int32_t y = 0; y < mapHeight_; ++y) Add(tx, TargetRow(y), palette[map.Value(x, y)], +1);
    }
}

void TStripRaster::Add(int tx, int ty, std::uint32_t color, int sign)
{
    std::uint64_t* s = &sums_[(std::size_t(ty) * cols_ + tx) * 3];
    const std::uint64_t r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
    if (sign > 0) {
        s[0] += r;
        s[1] += g;
        s[2] += b;
    } else {
        s[0] -= r;
        s[1] -= g;
        s[2] -= b;
    }
}

void TStripRaster::CellChanged(std::int32_t x, std::int32_t y, std::uint8_t oldIndex, std::uint8_t newIndex,
                               const TStripPalette& palette)
{
    if (!Sums(x) || y < 0 || y >= mapHeight_)
        return;
    const int tx = TargetColumn(x), ty = TargetRow(y);
    Add(tx, ty, palette[oldIndex], -1);
    Add(tx, ty, palette[newIndex], +1);
}

void TStripRaster::Render(std::vector<std::uint32_t>& pixels) const
{
    pixels.resize(std::size_t(cols_) * rows_);
    for (int ty = 0; ty < rows_; ++ty)
        for (int tx = 0; tx < cols_; ++tx) {
            const std::uint64_t n = std::uint64_t(colCount_[tx]) * rowCount_[ty];
            const std::uint64_t* s = &sums_[(std::size_t(ty) * cols_ + tx) * 3];
            auto avg = [n](std::uint64_t v) { return std::uint32_t((v + n / 2) / n); };
            pixels[std::size_t(ty) * cols_ + tx] = 0xFF000000u | (avg(s[0]) << 16) | (avg(s[1]) << 8) | avg(s[2]);
        }
}

}  // namespace brennic
