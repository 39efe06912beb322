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

inline QLineSeries* AddSeries(QChart* chart, const char* name, const QString& title)
{
    auto* series = new QLineSeries(chart);
    series->setObjectName(QString::fromLatin1(name));
    series->setName(title);
    chart->addSeries(series);
    return series;
}

inline void HideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* m : chart->legend()->markers(series)) m->setVisible(false);
}

// Core, surface, back and air of the current run.
inline const std::array<QColor, 4> CurveColours{QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 255, 0),
                                                QColor(0, 128, 0)};
// A kept run's core, surface, back and air, all in the run's colour.
inline const std::array<Qt::PenStyle, 4> KeptStyles{Qt::DashDotLine, Qt::SolidLine, Qt::DashLine, Qt::DotLine};

// A small square of a colour, for lists.
inline QIcon Swatch(const QColor& colour)
{
    QPixmap p(14, 14);
    p.fill(colour);
    return QIcon(p);
}

}  // namespace brennic
