// The "Temperate Profile" page: the temperature through the disc at the
// last reported time, from the front (optical) face to the back.
#pragma once

#include "app/core/results/DisplayUnits.h"
#include "app/core/run/RunRecord.h"
#include "app/gui/ChartSupport.h"
#include "app/gui/ZoomChartView.h"

#include <QLabel>
#include <QSlider>
#include <QWidget>

namespace brennic {

class TProfilePage : public QWidget {
    Q_OBJECT
public:
    explicit TProfilePage(QWidget* parent = nullptr);

    TZoomChartView* Chart;  // Chart4
    QLineSeries* Series;    // LineSeries3
    QLabel* FrontLabel;     // StaticText1
    QLabel* BackLabel;      // StaticText2
    QSlider* Time;          // the report shown: at its end, the last one (the run follows it)
    QLabel* TimeLabel;

    // A run starts: the temperature axis takes the run's range, zoom is reset.
    void StartRun(const TRunPlan& plan);
    // Brings the profile and the title up to the record's last report.
    void Sync(const TRunRecord& record);
    // Sync, then draw at once if the page is showing.
    void Redraw(const TRunRecord& record);
    void SetDecimalSeparator(char16_t decimalSeparator);
    // Depth in mm or inches, temperature in degC or degF; the profile shown again.
    void SetUnits(const TDisplayUnits& units);
    // The profile of the i-th kept snapshot (the slider's end: the last report).
    void ShowSnapshot(int i);
    const TCurve& Curve() const { return curve_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void UpdateView();
    void ShowLast(const TRunRecord& record);
    void LabelUnits();
    // A profile (mm, degC) and a temperature in the units shown.
    std::vector<TPoint> Shown(const std::vector<TPoint>& profile) const;
    double Shown(double celsius) const { return TemperatureShown(celsius, units_.Temperature); }
    TDisplayUnits units_;

    const TRunRecord* record_ = nullptr;
    char16_t decimal_ = u'.';

    TCurve curve_;
    std::uint64_t synced_ = ~0ull;
};

}  // namespace brennic
