// The current run beside the kept ones in a table: what each kept run
// changed and its ready and seeing times with the difference to the current
// run; copied as tab-separated text for a spreadsheet.
#pragma once

#include "app/core/run/RunComparisonTable.h"

#include <QDialog>

class QTableWidget;

namespace brennic {

class TComparisonDialog : public QDialog {
    Q_OBJECT
public:
    TComparisonDialog(const TComparisonTable& table, QWidget* parent = nullptr);
    QTableWidget* Table;

private:
    TComparisonTable table_;
};

}  // namespace brennic
