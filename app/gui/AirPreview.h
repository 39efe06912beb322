// The rows of an air file as the program reads them (local time, air, dew
// point and sky in °C) and the notes on how it read them, before OK.
#pragma once

#include "app/core/tables/AirSource.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace brennic {

class TAirPreview : public QWidget {
    Q_OBJECT
public:
    explicit TAirPreview(QWidget* parent = nullptr);

    void Show(const TAirSource& source);
    void Clear();

    QTableWidget* Rows;
    QLabel* Notes;
};

}  // namespace brennic
