// The readiness readout beside the evolution chart: from when the surface,
// the back and the whole glass stay near the air, the largest front-to-back
// difference, the surface's distance to the air now, and one line per kept run.
#pragma once

#include "app/core/results/DisplayUnits.h"

#include "app/core/run/RunComparison.h"

#include <QLabel>

#include <functional>
#include <string>
#include <vector>

namespace brennic {

class TReadoutPanel : public QLabel {
    Q_OBJECT
public:
    explicit TReadoutPanel(QWidget* parent = nullptr);

    // labels: one per kept run, saying what differs from the current inputs.
    // notes: lines about the air file, shown last. clock: the current run's
    // times on the local clock when its air has dates (kept runs keep minutes).
    void Show(const TReadiness& current, const std::vector<TKeptRun>& kept, const std::vector<std::string>& labels,
              const std::vector<std::string>& notes, char16_t decimalSeparator,
              const std::function<std::string(double)>& clock = {},
              TTemperatureUnit unit = TTemperatureUnit::Celsius);
};

}  // namespace brennic
