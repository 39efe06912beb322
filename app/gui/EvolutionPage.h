// The "Temperature Evolution" page: core, surface, back and air against
// time, the colour strip under the time axis, the readiness readout with its
// markers, the runs kept for comparison and the surface-minus-air curve.
#pragma once

#include "app/core/results/DisplayUnits.h"
#include "app/core/results/OutputColumns.h"
#include "app/core/tables/MeasuredLog.h"
#include "app/core/run/RunComparison.h"
#include "app/core/run/RunRecord.h"
#include "app/core/results/StripPalette.h"
#include "app/gui/ChartSupport.h"
#include "app/gui/ReadoutPanel.h"
#include "app/gui/ZoomChartView.h"

#include <QElapsedTimer>
#include <QGraphicsSimpleTextItem>
#include <QScatterSeries>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace brennic {

class TImgView32;

class TEvolutionPage : public QWidget {
    Q_OBJECT
public:
    TEvolutionPage(const TStripPalette& palette, QWidget* parent = nullptr);
    ~TEvolutionPage() override;

    TZoomChartView* Chart;                     // Chart1
    QLineSeries *Core, *Surface, *Back, *Air;  // LineSeries1, Series2, Series3, Series1
    TImgView32* Strip;                         // ImgView321
    QLabel* Headline;             // the run's answer, above the chart
    TReadoutPanel* Readout;       // beside the chart, never over it
    QScrollArea* ReadoutScroll;   // the side panel: the runs, then the readout
    QListWidget* Runs;            // the current run and the kept ones: colour, name, shown
    QPushButton* RemoveRun;
    // The kept runs' colours, one per run, and the pen style of each curve.
    static const std::array<QColor, 4> KeptColours;
    // The time axis on the local clock when the air has dates.
    std::unique_ptr<class TClockAxis> Clock;
    QLineSeries* SurfaceMinusAir;
    QLineSeries* MirrorSeeing;  // arc-seconds, on its own right axis
    QLineSeries* DewPoint;  // from an air file with a dew-point column
    QScatterSeries *MeasuredSurface, *MeasuredBack;

    // A run starts: axes to the run's ranges, curves and strip emptied.
    void StartRun(TRunRecord& record);
    // Brings curves, strip, readout and markers up to the record.
    void Sync(TRunRecord& record);
    // Sync, then draw at once if the page is showing. During a run the
    // readout follows a few times a second; final brings it up to date.
    void Redraw(TRunRecord& record, bool final = false);
    // The kept runs' curves and readout lines, labelled against the current inputs.
    void ShowKept(const TKeptRuns& kept, const TRunRecord& current, char16_t decimalSeparator);
    void ShowSurfaceMinusAir(bool show);
    void ShowMirrorSeeing(bool show);
    // A measured log's points over the curves (none: hidden), and the line
    // the readout gives its comparison with the run.
    void ShowMeasured(const TMeasuredLog* log);
    void SetMeasuredNote(const std::string& note);
    void SetDecimalSeparator(char16_t decimalSeparator);
    // Temperatures in degC or degF: every curve, axis and readout again from
    // the record (the current run's, whose curves are rebuilt) and the kept runs.
    void SetUnits(const TDisplayUnits& units, TRunRecord* record);
    // Whether the run shown was stopped before its end (for the headline).
    void SetStopped(bool stopped);
    const TCurve& Curve(QXYSeries* series) const;
    // The pointer's readout at a minute of the run: the time (the clock's
    // for dated air) and each visible curve's value there.
    QString HoverText(double minutes) const;
    const std::vector<std::string>& KeptLabels() const { return keptLabels_; }
    // Minutes at which the surface comes within 1 and 0.5 degC for good,
    // and at which dew threatens.
    std::array<std::optional<double>, 3> MarkerMinutes() const { return markerMinutes_; }

signals:
    void keptRenamed(int index, const QString& name);
    void keptShown(int index, bool shown);
    void keptRemoved(int index);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void LayOut();
    void UpdateViews();
    void PlaceOverlays();
    void PlaceLegend();
    QSizeF LegendSize(const QFont& font) const;
    std::optional<QFont> legendFont_;  // the legend's own; smaller only where the plot is short
    void UpdateMarkers(const TReadiness& readiness);
    // The right-hand axes of the curves shown there, fitted to their values.
    void UpdateRightAxes();
    void ShowRightCurve(QLineSeries* series, QValueAxis* axis, bool show);
    QLineSeries* AddRightCurve(const char* name, const QString& title, const char* axisName, const QString& axisTitle,
                               QValueAxis*& axis);
    void ShowReadout();
    // The run's axes: its period and the inputs' temperatures, widened to
    // every visible curve (this run's, the kept runs', the measured points).
    TAxisRanges FittedHome() const;
    void FitHome(bool resetZoom);
    void ClearCurves();
    void LabelUnits();
    // A temperature and a difference of temperatures in the unit shown.
    double Shown(double celsius) const { return TemperatureShown(celsius, units_.Temperature); }
    double ShownDifference(double kelvin) const { return TemperatureDifferenceShown(kelvin, units_.Temperature); }
    TDisplayUnits units_;
    double measuredLow_ = 1, measuredHigh_ = 0;  // none while low > high
    double runLow_ = 1, runHigh_ = 0;            // the current run's curves so far
    void FillRuns(const TKeptRuns& kept, const std::vector<std::string>& labels);
    QWidget* CreatePanel();
    QElapsedTimer readoutClock_;

    std::vector<int> curveColumns_ = CurveColumns();  // the output columns drawn, in legend order
    std::vector<TCurve> curves_;                      // theirs, in the same order
    TCurve difference_;
    QValueAxis* differenceAxis_;
    double differenceMin_ = 0, differenceMax_ = 0;
    TCurve seeing_;
    QValueAxis* seeingAxis_;
    double seeingMax_ = 0;
    std::vector<TCurve> keptCurves_;
    std::vector<std::string> keptLabels_;
    const TKeptRuns* kept_ = nullptr;
    void SetMarker(std::size_t i, std::optional<double> minutes, bool& moved);
    void PlaceMarker(std::size_t i);
    void ShowDewPoint(const TRunRecord& record);

    std::array<QLineSeries*, 3> markers_{};
    std::array<QGraphicsSimpleTextItem*, 3> markerLabels_{};
    std::array<std::optional<double>, 3> markerMinutes_{};
    TCurve dew_;
    TCurve measuredSurface_, measuredBack_;
    std::string measuredNote_;
    const TRunRecord* record_ = nullptr;
    std::size_t synced_ = 0;  // reports already in the curves
    std::uint64_t version_ = ~0ull;
    char16_t decimal_ = u'.';
    bool stopped_ = false;
    double timeStep_ = 1;
    std::int32_t stripWidth_ = 0;
};

}  // namespace brennic
