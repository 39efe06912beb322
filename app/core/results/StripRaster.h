// The strip's pixels at the size it is shown: when the strip has more
// columns (or rows) than the view has pixels, each pixel is the average of
// the cells that fall on it, kept as running sums so that writing one cell
// costs O(1) however long the run. Where a pixel would hold more than
// SamplesPerPixel columns, evenly spaced columns stand for the others, so
// that a new width costs the same for a long run as for a short one.
#pragma once

#include "app/core/results/ByteMap.h"
#include "app/core/results/StripPalette.h"

#include <cstdint>
#include <vector>

namespace brennic {

class TStripRaster {
public:
    static constexpr std::int32_t SamplesPerPixel = 16;

    // Recomputes everything from the map, for a view of viewWidth x viewHeight
    // that shows the count columns from first on (all of them when count < 0).
    void Rebuild(const TByteMap& map, const TStripPalette& palette, int viewWidth, int viewHeight,
                 std::int32_t first = 0, std::int32_t count = -1);
    // Cell (x, y) of the map changes from oldIndex to newIndex.
    void CellChanged(std::int32_t x, std::int32_t y, std::uint8_t oldIndex, std::uint8_t newIndex,
                     const TStripPalette& palette);

    // Whether column x of the map counts in the pixels (its cells' changes
    // matter); a view skips the others whole.
    bool Sums(std::int32_t x) const
    {
        return cols_ > 0 && rows_ > 0 && x >= first_ && x < first_ + span_ && (x - first_) % stride_ == 0;
    }

    int Width() const { return cols_; }
    int Height() const { return rows_; }
    // Opaque 0xFFRRGGBB pixels, row by row.
    void Render(std::vector<std::uint32_t>& pixels) const;

private:
    int TargetColumn(std::int32_t x) const { return int(std::int64_t(x - first_) * cols_ / span_); }
    int TargetRow(std::int32_t y) const { return int(std::int64_t(y) * rows_ / mapHeight_); }
    void Add(int tx, int ty, std::uint32_t color, int sign);

    std::int32_t mapWidth_ = 0, mapHeight_ = 0;
    std::int32_t first_ = 0, span_ = 0;  // the map's columns shown
    std::int32_t stride_ = 1;            // every stride_-th of them is summed
    int cols_ = 0, rows_ = 0;
    std::vector<std::uint64_t> sums_;  // r, g, b per target pixel
    std::vector<std::uint32_t> colCount_, rowCount_;
};

}  // namespace brennic
