// How the evolution chart draws each output column's curve: the series'
// object name, its colour in the current run and its pen in a kept run.
// A column without an entry gets a name from the table and a palette colour.
#pragma once

#include "app/core/results/OutputColumns.h"

#include <QColor>
#include <QString>

namespace brennic {

struct TCurveStyle {
    QString ObjectName;
    QColor Colour;
    Qt::PenStyle KeptPen;
};

inline TCurveStyle CurveStyle(int column)
{
    switch (column) {
    case oCore: return {QStringLiteral("LineSeries1"), QColor(255, 0, 0), Qt::DashDotLine};
    case oSurface: return {QStringLiteral("Series2"), QColor(0, 0, 255), Qt::SolidLine};
    case oBack: return {QStringLiteral("Series3"), QColor(0, 255, 0), Qt::DashLine};
    case oAir: return {QStringLiteral("Series1"), QColor(0, 128, 0), Qt::DotLine};
    default:
        return {QString::fromLatin1(OutputColumns[std::size_t(column)].Name),
                QColor::fromHsv((column * 67) % 360, 200, 180), Qt::DashDotDotLine};
    }
}

}  // namespace brennic
