// A chart view that zooms as a scientific plot does: drag a rectangle to the
// right to zoom in, right-click to step back out, double-click or drag to the
// left to return to the run's axes; after a click, "+" zooms in on the
// middle, "-" steps back and "0" returns; a button in the corner returns
// while the view is zoomed. Over the plot, a vertical line follows the
// pointer with what the curves hold there.
#pragma once

#include <QChartView>
#include <QValueAxis>

#include <functional>
#include <vector>

class QGraphicsLineItem;
class QLabel;
class QRubberBand;
class QToolButton;

namespace brennic {

struct TAxisRanges {
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    bool operator==(const TAxisRanges&) const = default;
};

class TZoomChartView : public QChartView {
    Q_OBJECT
public:
    explicit TZoomChartView(QChart* chart, QWidget* parent = nullptr);

    // The run's axes. Shown at once unless the user has zoomed in; a new run
    // passes resetZoom to forget the user's zoom.
    void SetHome(const TAxisRanges& home, bool resetZoom);
    const TAxisRanges& Home() const { return home_; }
    bool Zoomed() const { return !history_.empty(); }
    TAxisRanges Shown() const;

    void ZoomIn(const TAxisRanges& to);  // remembers the view it leaves
    void StepBack();                     // to the view before the last zoom
    void ZoomHome();

    static const char* const HowToZoom;
    QToolButton* HomeButton() const { return homeButton_; }

    // What the readout beside the pointer says at x (in the horizontal
    // axis's units); empty: no readout there.
    std::function<QString(double x)> HoverText;
    // The readout at a point of the view, as the pointer would show it;
    // HideHover takes it away.
    void ShowHover(QPointF viewPoint);
    void HideHover();
    const QLabel* HoverLabel() const { return hoverLabel_; }

signals:
    // The user changed the view (not SetHome).
    void zoomChanged();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void Apply(const TAxisRanges& r);
    void PlaceHomeButton();
    QValueAxis* Axis(Qt::Orientation o) const;

    TAxisRanges home_;
    std::vector<TAxisRanges> history_;
    QRubberBand* band_;
    QToolButton* homeButton_;
    QLabel* hoverLabel_;
    QGraphicsLineItem* cross_ = nullptr;
    QPoint origin_;
    bool dragging_ = false;
};

}  // namespace brennic
