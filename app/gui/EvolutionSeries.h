// What the evolution page's parts share: how a curve is added and kept out
// of the legend, the current run's colours, a kept run's pens.
#pragma once

#include <QChart>
#include <QColor>
#include <QIcon>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPixmap>

#include <array>

namespace brennic {

inline QLineSeries* AddSeries(QChart* chart, const QString& name, const QString& title)
{
    auto* series = new QLineSeries(chart);
    series->setObjectName(name);
    series->setName(title);
    chart->addSeries(series);
    return series;
}

inline void HideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}


// A small square of a colour, for lists.
inline QIcon Swatch(const QColor& colour)
{
    QPixmap p(14, 14);
    p.fill(colour);
    return QIcon(p);
}

}  // namespace brennic
