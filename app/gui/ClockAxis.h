// A time axis in minutes that shows the local clock instead: ticks at round
// clock times, labelled "HH:MM" (with the date at midnight), when the air
// comes from a dated file or a forecast.
#pragma once

#include <QColor>
#include <QString>

#include <optional>
#include <vector>

class QChart;
class QGraphicsSimpleTextItem;
class QValueAxis;

namespace brennic {

class TClockAxis {
public:
    TClockAxis(QChart* chart, QValueAxis* minutes, QString minutesTitle);

    // Local clock (s since 1970 on the local clock) at minute 0, or none for minutes.
    void SetZero(std::optional<double> localSeconds);
    bool Active() const { return zero_.has_value(); }
    std::optional<double> Zero() const { return zero_; }
    // After the axis's range or the plot changed: ticks and labels.
    void Update();
    // The labels shown, left to right (for tests).
    std::vector<QString> Labels() const;

private:
    QChart* chart_;
    QValueAxis* axis_;
    QString minutesTitle_;
    QColor labelsColour_;  // the minutes' own
    std::optional<double> zero_;
    std::vector<QGraphicsSimpleTextItem*> labels_;
};

}  // namespace brennic
