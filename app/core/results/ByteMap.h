// A grid of W x H bytes stored column by column, cell (x, y) at x * H + y:
// a run writes the strip's palette indices a column (a report) at a time.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace brennic {

class TByteMap {
public:
    TByteMap() = default;
    TByteMap(const TByteMap& other) { *this = other; }
    TByteMap& operator=(const TByteMap& other)
    {
        if (this != &other) {
            SetSize(other.width_, other.height_);
            if (Size())
                std::memcpy(bits_.get(), other.bits_.get(), Size());
        }
        return *this;
    }
    TByteMap(TByteMap&&) noexcept = default;
    TByteMap& operator=(TByteMap&&) noexcept = default;

    // Every cell 0. The zeros come from the system's fresh pages (calloc),
    // touched only when a run writes them: a map of hundreds of megabytes
    // costs no pass of its own (one second of a 48-hour run in 1 s steps).
    void SetSize(std::int32_t width, std::int32_t height)
    {
        bits_.reset();
        width_ = height_ = 0;
        const std::int32_t w = width < 0 ? 0 : width, h = height < 0 ? 0 : height;
        if (w == 0 || h == 0)
            return;
        bits_.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 1)));
        if (!bits_)
            throw std::bad_alloc();
        width_ = w;
        height_ = h;
    }
    void Clear(std::uint8_t value)
    {
        if (Size())
            std::memset(bits_.get(), value, Size());
    }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    bool Contains(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint8_t Value(std::int32_t x, std::int32_t y) const { return bits_[Index(x, y)]; }
    void SetValue(std::int32_t x, std::int32_t y, std::uint8_t v) { bits_[Index(x, y)] = v; }
    const std::uint8_t* Bits() const { return bits_.get(); }

private:
    std::size_t Size() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
    std::size_t Index(std::int32_t x, std::int32_t y) const
    {
        return static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) + static_cast<std::size_t>(y);
    }
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    struct TFree {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t[], TFree> bits_;
};

}  // namespace brennic
