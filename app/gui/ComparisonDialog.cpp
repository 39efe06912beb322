#include "app/gui/ComparisonDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brennic {

TComparisonDialog::TComparisonDialog(const TComparisonTable& table, QWidget* parent)
    : QDialog(parent), table_(table)
{
    setObjectName(QStringLiteral("ComparisonDialog"));
    setWindowTitle(QStringLiteral("Compare runs"));
    auto* layout = new QVBoxLayout(this);
    Table = new QTableWidget(int(table.Rows.size()), int(table.Header.size()), this);
    Table->setObjectName(QStringLiteral("ComparisonTable"));
    Table->setAccessibleName(QStringLiteral("Runs compared"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    for (std::size_t c = 0; c < table.Header.size(); ++c)
        Table->setHorizontalHeaderItem(int(c), new QTableWidgetItem(QString::fromStdString(table.Header[c])));
    for (std::size_t r = 0; r < table.Rows.size(); ++r)
        for (std::size_t c = 0; c < table.Rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(table.Rows[r][c]));
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Table->setItem(int(r), int(c), item);
        }
    Table->resizeColumnsToContents();
    layout->addWidget(Table);
    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(QString::fromStdString(ComparisonText(table_))); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // Wide enough for the table where the screen allows.
    int width = 40;
    for (int c = 0; c < Table->columnCount(); ++c) width += Table->columnWidth(c);
    resize(std::min(width, 1200), 120 + 30 * Table->rowCount());
}

}  // namespace brennic
