#include "app/gui/TextAsPaths.h"

#include <QPainterPath>
#include <QTextItem>

namespace brennic {

namespace {

// Hands every state change and drawing to a painter on the target, and
// text to it as filled outlines.
class TOutlineEngine : public QPaintEngine {
public:
    explicit TOutlineEngine(QPaintDevice* target) : QPaintEngine(QPaintEngine::AllFeatures), target_(target) {}

    bool begin(QPaintDevice*) override { return inner_.begin(target_); }
    bool end() override { return inner_.end(); }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& s) override
    {
        const DirtyFlags f = s.state();
        if (f & DirtyPen)
            inner_.setPen(s.pen());
        if (f & DirtyBrush)
            inner_.setBrush(s.brush());
        if (f & DirtyBrushOrigin)
            inner_.setBrushOrigin(s.brushOrigin());
        if (f & DirtyFont)
            inner_.setFont(s.font());
        if (f & DirtyBackground)
            inner_.setBackground(s.backgroundBrush());
        if (f & DirtyBackgroundMode)
            inner_.setBackgroundMode(s.backgroundMode());
        if (f & DirtyTransform)
            inner_.setTransform(s.transform());
        if (f & DirtyClipRegion)
            inner_.setClipRegion(s.clipRegion(), s.clipOperation());
        if (f & DirtyClipPath)
            inner_.setClipPath(s.clipPath(), s.clipOperation());
        if (f & DirtyClipEnabled)
            inner_.setClipping(s.isClipEnabled());
        if (f & DirtyHints)
            inner_.setRenderHints(s.renderHints());
        if (f & DirtyCompositionMode)
            inner_.setCompositionMode(s.compositionMode());
        if (f & DirtyOpacity)
            inner_.setOpacity(s.opacity());
    }

    void drawPath(const QPainterPath& path) override { inner_.drawPath(path); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode)
            inner_.drawPolyline(points, count);
        else
            inner_.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& source) override
    {
        inner_.drawPixmap(r, pixmap, source);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& source, Qt::ImageConversionFlags flags) override
    {
        inner_.drawImage(r, image, source, flags);
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        QPainterPath outline;
        outline.addText(at, item.font(), item.text());
        inner_.fillPath(ClippedToWidget(outline), inner_.pen().brush());
    }

    // The generator does not clip to the widget being drawn (the system
    // clip, in device coordinates): text that runs past a widget's edge,
    // a long line in a narrow panel, is cut there as on the screen.
    QPainterPath ClippedToWidget(const QPainterPath& outline) const
    {
        const QRegion clip = systemClip();
        if (clip.isEmpty())
            return outline;
        const QTransform toDevice = inner_.transform();
        const QRect extent = toDevice.mapRect(outline.boundingRect()).toAlignedRect();
        if (clip.rectCount() == 1 && clip.boundingRect().contains(extent))
            return outline;
        bool invertible = false;
        const QTransform back = toDevice.inverted(&invertible);
        if (!invertible)
            return outline;
        QPainterPath bounds;
        bounds.addRegion(clip);
        return outline.intersected(back.map(bounds));
    }

private:
    QPaintDevice* target_;
    QPainter inner_;
};

}  // namespace

TTextAsPaths::TTextAsPaths(QPaintDevice* target) : target_(target), engine_(std::make_unique<TOutlineEngine>(target)) {}

TTextAsPaths::~TTextAsPaths() = default;

QPaintEngine* TTextAsPaths::paintEngine() const
{
    return engine_.get();
}

int TTextAsPaths::metric(PaintDeviceMetric m) const
{
    switch (m) {
    case PdmWidth: return target_->width();
    case PdmHeight: return target_->height();
    case PdmWidthMM: return target_->widthMM();
    case PdmHeightMM: return target_->heightMM();
    case PdmNumColors: return target_->colorCount();
    case PdmDepth: return target_->depth();
    case PdmDpiX: return target_->logicalDpiX();
    case PdmDpiY: return target_->logicalDpiY();
    case PdmPhysicalDpiX: return target_->physicalDpiX();
    case PdmPhysicalDpiY: return target_->physicalDpiY();
    case PdmDevicePixelRatio: return int(target_->devicePixelRatio());
    case PdmDevicePixelRatioScaled: return int(target_->devicePixelRatioF() * devicePixelRatioFScale());
    default: return QPaintDevice::metric(m);
    }
}

}  // namespace brennic
