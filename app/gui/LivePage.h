// The live night in the window: a source chosen (a file a logger appends
// to, a serial port, a recorded log replayed), the readings drawn as they
// come, the predicted night ahead with its 90 % band, and the headline of
// when the mirror will be ready. The night runs on a worker beside the
// window; the page reads its record once per frame.
#pragma once

#include "app/core/live/LiveRecord.h"
#include "app/core/inputs/RunRequest.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAreaSeries;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QScatterSeries;
class QTimer;
class QValueAxis;

namespace brennic {

class TRunWorker;

class TLivePage : public QWidget {
    Q_OBJECT
public:
    // base: the window's inputs; ahead: its air file or forecast, when it
    // has clock times.
    TLivePage(std::function<TRequestSource()> base, std::function<std::shared_ptr<const TAirSource>()> ahead,
              char16_t decimalSeparator, QWidget* parent = nullptr);
    ~TLivePage() override;

    enum TKind { FollowFile, SerialPort, ReplayLog, IndiServer, MqttBroker, AlpacaDevice };
    QComboBox* Kind;
    QLineEdit *Source, *Columns, *Rate, *LogPath;
    QLabel *ColumnsLabel, *RateLabel;
    QPushButton *Browse, *Start, *Stop;
    QLabel* Headline;
    QChartView* Chart;
    QPlainTextEdit* Notes;

    // Starts the night from the fields; throws EBrennicError naming the
    // field and value that cannot start it.
    void StartNight();
    void StopNight();
    bool Running() const;
    // Brings the page up to the record (called every frame while running).
    void Sync();
    const TLiveRecord& Record() const { return record_; }
    void SetDecimalSeparator(char16_t separator) { decimal_ = separator; }
    // Temperatures in degC or degF, the curves drawn again.
    void SetUnits(const TDisplayUnits& units);

signals:
    void nightEnded();

private:
    void BeginNight();
    std::string ColumnsCaption() const;  // "Topics", "Properties" or "Columns"
    void ShowKind();
    void ShowCurves(const TLiveSnapshot& s);
    void ShowHeadline(const TLiveSnapshot& s);

    std::function<TRequestSource()> base_;
    std::function<std::shared_ptr<const TAirSource>()> ahead_;
    char16_t decimal_;
    TDisplayUnits units_;
    TRunWorker* worker_;
    TLiveRecord record_;
    std::uint64_t seen_ = 0;
    std::size_t notesShown_ = 0;
    QTimer* frame_;
    QScatterSeries *measuredSurface_, *measuredBack_, *measuredAir_;
    QLineSeries *surface_, *back_, *air_, *low_, *high_;
    QAreaSeries* band_;
    QDateTimeAxis* time_;
    QValueAxis* temperature_;
};

}  // namespace brennic
