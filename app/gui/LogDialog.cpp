#include "app/gui/LogDialog.h"
#include "app/gui/FileFolders.h"

#include "app/gui/DialogMessage.h"

#include "app/core/results/OutputColumns.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace brennic {

namespace {

const QString None = QStringLiteral("(none)");

std::string Chosen(const QComboBox* box)
{
    return box->currentText() == None ? std::string(NoColumn) : box->currentText().toStdString();
}

void Offer(QComboBox* box, const TTimeTable& t, const char* preferred)
{
    box->clear();
    box->addItem(None);
    for (std::size_t i = 1; i < t.Names.size(); ++i) box->addItem(QString::fromStdString(t.Names[i]));
    const int found = FindColumn(t, preferred);
    box->setCurrentIndex(std::max(0, found));
}

}  // namespace

TLogDialog::TLogDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LogDialog"));
    setWindowTitle(QStringLiteral("Your mirror's log"));
    Path = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("Browse\u2026"), this);
    Surface = new QComboBox(this);
    Back = new QComboBox(this);
    Air = new QComboBox(this);
    Start = new QLineEdit(this);
    Start->setPlaceholderText(QStringLiteral("first row, or HH:MM, or 2026-12-08T18:00"));
    Info = new QLabel(QStringLiteral("A table of times with the front (surface) and back temperatures, and the air."),
                      this);
    Info->setWordWrap(true);
    Info->setMinimumWidth(420);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(Path, 1);
    row->addWidget(browse);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("File:"), row);
    form->addRow(QStringLiteral("Surface (front) column:"), Surface);
    form->addRow(QStringLiteral("Back column:"), Back);
    form->addRow(QStringLiteral("Air column:"), Air);
    form->addRow(QStringLiteral("Start at:"), Start);
    form->addRow(Info);
    form->addRow(Buttons);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Mirror log"), DialogStart(Path->text()),
                                                          QStringLiteral("Tables (*.csv *.txt *.tsv);;All files (*)"),
                                                          nullptr, QFileDialog::DontUseNativeDialog);
        if (!file.isEmpty()) {
            RememberFolder(file);
            Path->setText(file);
            ReadFile();
        }
    });
    connect(Path, &QLineEdit::editingFinished, this, [this] { ReadFile(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] { LoadAndAccept(); });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TLogDialog::ReadFile()
{
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    try {
        const TTimeTable t = ReadTimeTable(Path->text().toStdString());
        Offer(Surface, t, OutputColumns[oSurface].Name);
        Offer(Back, t, OutputColumns[oBack].Name);
        Offer(Air, t, OutputColumns[oAir].Name);
        Start->setEnabled(t.ClockTimes);
        Info->setText(QString::number(t.Times.size()) +
                      QStringLiteral(" rows over %1 minutes.").arg((t.Times.back() - t.Times.front()) / 60, 0, 'f', 1));
        Buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
    } catch (const std::exception& e) {
        ShowRefusal(Info, QString::fromUtf8(e.what()));
    }
}

TLogColumns TLogDialog::Columns() const
{
    return {"", Chosen(Air), Chosen(Surface), Chosen(Back)};
}

void TLogDialog::LoadAndAccept()
{
    try {
        log_ = TMeasuredLog::Load(Path->text().toStdString(), Columns(), Start->text().trimmed().toStdString());
    } catch (const std::exception& e) {
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

}  // namespace brennic
