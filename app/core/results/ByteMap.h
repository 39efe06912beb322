// A grid of W x H bytes stored column by column, cell (x, y) at x * H + y:
// a run writes the strip's palette indices a column (a report) at a time.
#pragma once

#include <cstdint>
#include <vector>

namespace brennic {

class TByteMap {
public:
    void SetSize(std::int32_t width, std::int32_t height)
    {
        width_ = width < 0 ? 0 : width;
        height_ = height < 0 ? 0 : height;
        bits_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    }
    void Clear(std::uint8_t value) { bits_.assign(bits_.size(), value); }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool Contains(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint8_t Value(std::int32_t x, std::int32_t y) const { return bits_[Index(x, y)]; }
    void SetValue(std::int32_t x, std::int32_t y, std::uint8_t v) { bits_[Index(x, y)] = v; }
    const std::uint8_t* Bits() const { return bits_.data(); }

private:
    std::size_t Index(std::int32_t x, std::int32_t y) const
    {
        return static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) + static_cast<std::size_t>(y);
    }
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> bits_;
};

}  // namespace brennic
