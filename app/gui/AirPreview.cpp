#include "app/gui/AirPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace brennic {

namespace {

// Enough to see the start and the shape of the night.
constexpr std::size_t PreviewRows = 200;

QString Celsius(double v)
{
    return std::isnan(v) ? QStringLiteral("\u2013") : QLocale().toString(v, 'f', 1);
}

}  // namespace

TAirPreview::TAirPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AirPreview"));
    Rows = new QTableWidget(0, 4, this);
    Rows->setObjectName(QStringLiteral("AirPreviewRows"));
    Rows->setHorizontalHeaderLabels({QStringLiteral("Local time"), QStringLiteral("Air (\u00b0C)"),
                                     QStringLiteral("Dew point (\u00b0C)"), QStringLiteral("Sky (\u00b0C)")});
    Rows->verticalHeader()->setVisible(false);
    Rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Rows->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Rows->setMinimumHeight(160);
    Notes = new QLabel(this);
    Notes->setObjectName(QStringLiteral("AirPreviewNotes"));
    Notes->setWordWrap(true);
    Notes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Rows, 1);
    column->addWidget(Notes);
}

void TAirPreview::Show(const TAirSource& source)
{
    const std::vector<TAirPreviewRow> rows = source.Preview(PreviewRows);
    Rows->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const TAirPreviewRow& r = rows[std::size_t(i)];
        const QString cells[4] = {QString::fromStdString(r.LocalTime), Celsius(r.Air), Celsius(r.Dew), Celsius(r.Sky)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Rows->setItem(i, c, item);
        }
    }
    QStringList notes;
    for (const std::string& n : source.Notes) notes << QStringLiteral("\u2022 ") + QString::fromStdString(n);
    if (source.Table.Times.size() > rows.size())
        notes << QStringLiteral("The first %1 rows from the start are shown.").arg(rows.size());
    Notes->setText(notes.join(QLatin1Char('\n')));
}

void TAirPreview::Clear()
{
    Rows->setRowCount(0);
    Notes->clear();
}

}  // namespace brennic
