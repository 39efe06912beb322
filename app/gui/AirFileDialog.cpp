#include "app/gui/AirFileDialog.h"

#include "app/core/ColumnRoles.h"

#include <QCheckBox>
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

QString ColumnText(const QComboBox* box)
{
    return box->currentIndex() <= 0 && box->itemText(0) == None ? QString() : box->currentText();
}

}  // namespace

TAirFileDialog::TAirFileDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AirFileDialog"));
    setWindowTitle(QStringLiteral("Air from a file"));
    Path = new QLineEdit(this);
    Path->setObjectName(QStringLiteral("AirPath"));
    auto* browse = new QPushButton(QStringLiteral("Browse\u2026"), this);
    AirColumn = new QComboBox(this);
    SkyColumn = new QComboBox(this);
    DewColumn = new QComboBox(this);
    Start = new QLineEdit(this);
    Start->setPlaceholderText(QStringLiteral("first row, or HH:MM, or 2026-12-08T18:00"));
    WholeFile = new QCheckBox(QStringLiteral("Set the simulation duration to the rest of the file"), this);
    WholeFile->setChecked(true);
    Info = new QLabel(this);
    Info->setWordWrap(true);
    Info->setMinimumWidth(420);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* row = new QHBoxLayout;
    row->addWidget(Path, 1);
    row->addWidget(browse);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("File:"), row);
    form->addRow(QStringLiteral("Air temperature column:"), AirColumn);
    form->addRow(QStringLiteral("Sky temperature column:"), SkyColumn);
    form->addRow(QStringLiteral("Dew point column:"), DewColumn);
    form->addRow(QStringLiteral("Start at:"), Start);
    form->addRow(WholeFile);
    form->addRow(Info);
    form->addRow(Buttons);

    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(Path, &QLineEdit::editingFinished, this, [this] { ReadFile(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] { LoadAndAccept(); });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void TAirFileDialog::SetChoice(const TAirFileChoice& c)
{
    Path->setText(QString::fromStdString(c.Path));
    Start->setText(QString::fromStdString(c.Start));
    if (!c.Path.empty())
        ReadFile();
    auto select = [](QComboBox* box, const std::string& name) {
        const int i = box->findText(QString::fromStdString(name));
        if (!name.empty() && i >= 0)
            box->setCurrentIndex(i);
    };
    select(AirColumn, c.AirColumn);
    select(SkyColumn, c.SkyColumn);
    select(DewColumn, c.DewColumn);
}

TAirFileChoice TAirFileDialog::Choice() const
{
    return {Path->text().toStdString(), AirColumn->currentText().toStdString(), Start->text().trimmed().toStdString(),
            ColumnText(SkyColumn).toStdString(), ColumnText(DewColumn).toStdString()};
}

bool TAirFileDialog::FitDuration() const
{
    return WholeFile->isChecked();
}

void TAirFileDialog::Browse()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Air temperatures"), Path->text(),
                                                      QStringLiteral("Tables (*.csv *.txt *.tsv);;All files (*)"),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty())
        return;
    Path->setText(file);
    ReadFile();
}

void TAirFileDialog::ShowError(const QString& message)
{
    Info->setText(QStringLiteral("<span style=\"color:#a00000\">") + message.toHtmlEscaped() +
                  QStringLiteral("</span>"));
}

void TAirFileDialog::ReadFile()
{
    table_.reset();
    for (QComboBox* box : {AirColumn, SkyColumn, DewColumn}) box->clear();
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    try {
        table_ = ReadTimeTable(Path->text().toStdString());
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
        return;
    }
    const TTimeTable& t = *table_;
    for (QComboBox* box : {SkyColumn, DewColumn}) box->addItem(None);
    for (std::size_t i = 1; i < t.Names.size(); ++i)
        for (QComboBox* box : {AirColumn, SkyColumn, DewColumn}) box->addItem(QString::fromStdString(t.Names[i]));
    AirColumn->setCurrentIndex(DefaultAirColumn(t) - 1);
    SkyColumn->setCurrentIndex(std::max(0, ColumnContaining(t, "sky")));
    DewColumn->setCurrentIndex(std::max(0, ColumnContaining(t, "dew")));
    Start->setEnabled(t.ClockTimes);
    QString info = QString::number(t.Times.size()) + QStringLiteral(" rows");
    if (t.ClockTimes)
        info += QStringLiteral(" from ") + QString::fromStdString(ClockText(t, t.Times.front())) +
                QStringLiteral(" to ") + QString::fromStdString(ClockText(t, t.Times.back()));
    info += QStringLiteral(", over %1 minutes.").arg((t.Times.back() - t.Times.front()) / 60, 0, 'f', 1);
    Info->setText(info);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
}

void TAirFileDialog::LoadAndAccept()
{
    try {
        source_ = TAirSource::Load(Choice());
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

}  // namespace brennic
