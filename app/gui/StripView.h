// ImgView321: shows the strip's byte map through its palette, stretched over
// the whole view with linear resampling.
#pragma once

#include "app/core/results/ByteMap.h"
#include "app/core/results/StripPalette.h"
#include "app/core/results/StripRaster.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace brennic {

class TImgView32 : public QWidget {
    Q_OBJECT
public:
    explicit TImgView32(QWidget* parent = nullptr);

    // The map and palette to show; both must outlive the view's use of them.
    void SetSource(const TByteMap* map, const TStripPalette* palette);
    void SetSource(const TByteMap* map) { SetSource(map, palette_); }
    void SetPalette(const TStripPalette* palette) { SetSource(map_, palette); }
    // Recomputes the pixels from the whole map (after it was resized or cleared).
    void Rebuild();
    // Shows count columns of the map from first on (all when count < 0).
    void SetSpan(std::int32_t first, std::int32_t count);
    std::int32_t SpanFirst() const { return first_; }
    std::int32_t SpanCount() const { return count_; }
    // One cell changed from oldIndex; the map already holds the new value.
    void CellChanged(std::int32_t x, std::int32_t y, std::uint8_t oldIndex);
    // Column x of the map was written; old: its cells before (empty: all 0).
    void ColumnChanged(std::int32_t x, const std::vector<std::uint8_t>& old);

    // The pixels as last drawn, before stretching: at most one per view pixel.
    QImage Pixels() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    const TByteMap* map_ = nullptr;
    const TStripPalette* palette_ = nullptr;
    TStripRaster raster_;
    std::int32_t first_ = 0, count_ = -1;
    mutable bool dirty_ = true;
    mutable QImage image_;
};

}  // namespace brennic
