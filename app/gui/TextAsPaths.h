// A paint device that draws onto another through a painter of its own, with
// text as outlines. An SVG drawn through it looks the same in any renderer,
// whatever fonts that renderer has and however it spaces their glyphs.
#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <memory>

namespace brennic {

class TTextAsPaths : public QPaintDevice {
public:
    explicit TTextAsPaths(QPaintDevice* target);
    ~TTextAsPaths() override;
    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPaintDevice* target_;
    std::unique_ptr<QPaintEngine> engine_;
};

}  // namespace brennic
