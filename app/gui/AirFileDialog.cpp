#include "app/gui/AirFileDialog.h"
#include "app/gui/FileFolders.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/gui/AirPreview.h"
#include "app/gui/DialogMessage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace brennic {

namespace {

const QString None = QStringLiteral("(none)");
const QString FromData = QStringLiteral("(from the data)");

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
    TimeColumn = new QComboBox(this);
    TimeColumn->setObjectName(QStringLiteral("TimeColumn"));
    DateOrder = new QComboBox(this);
    DateOrder->setObjectName(QStringLiteral("DateOrder"));
    DateOrder->addItem(FromData, QString());
    DateOrder->addItem(QStringLiteral("day/month/year"), QStringLiteral("dmy"));
    DateOrder->addItem(QStringLiteral("month/day/year"), QStringLiteral("mdy"));
    DateOrder->addItem(QStringLiteral("year/month/day"), QStringLiteral("ymd"));
    Preview = new TAirPreview(this);
    Start = new QLineEdit(this);
    Start->setPlaceholderText(QStringLiteral("first row, or HH:MM, or 2026-12-08T18:00"));
    WholeFile = new QCheckBox(QStringLiteral("Set the simulation duration to the rest of the file"), this);
    WholeFile->setChecked(true);
    Info = NewMessageLabel(QString(), "AirFileInfo", this);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* row = new QHBoxLayout;
    row->addWidget(Path, 1);
    row->addWidget(browse);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("File:"), row);
    form->addRow(QStringLiteral("Time column:"), TimeColumn);
    form->addRow(QStringLiteral("Dates written:"), DateOrder);
    form->addRow(QStringLiteral("Air temperature column:"), AirColumn);
    form->addRow(QStringLiteral("Sky temperature column:"), SkyColumn);
    form->addRow(QStringLiteral("Dew point column:"), DewColumn);
    form->addRow(QStringLiteral("Start at:"), Start);
    form->addRow(WholeFile);
    form->addRow(Info);
    form->addRow(Preview);
    form->addRow(Buttons);

    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(Path, &QLineEdit::editingFinished, this, [this] { ReadFile(); });
    for (QComboBox* box : {TimeColumn, DateOrder})
        connect(box, &QComboBox::activated, this, [this] { ReadFile(); });
    for (QComboBox* box : {AirColumn, SkyColumn, DewColumn})
        connect(box, &QComboBox::activated, this, [this] { UpdatePreview(); });
    connect(Start, &QLineEdit::editingFinished, this, [this] { UpdatePreview(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, [this] { LoadAndAccept(); });
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void TAirFileDialog::SetChoice(const TAirFileChoice& c)
{
    Path->setText(QString::fromStdString(c.Path));
    Start->setText(QString::fromStdString(c.Start));
    DateOrder->setCurrentIndex(std::max(0, DateOrder->findData(QString::fromStdString(c.DateOrder))));
    if (!c.TimeColumn.empty()) {
        TimeColumn->clear();
        TimeColumn->addItem(QString::fromStdString(c.TimeColumn));
    }
    if (c.Path.empty())
        return;
    ReadFile();
    auto select = [](QComboBox* box, const std::string& name) {
        const int i = box->findText(QString::fromStdString(name));
        if (!name.empty() && i >= 0)
            box->setCurrentIndex(i);
    };
    select(AirColumn, c.AirColumn);
    select(SkyColumn, c.SkyColumn);
    select(DewColumn, c.DewColumn);
    UpdatePreview();
}

TAirFileChoice TAirFileDialog::Choice() const
{
    TAirFileChoice c;
    c.Path = Path->text().toStdString();
    c.AirColumn = AirColumn->currentText().toStdString();
    c.Start = Start->text().trimmed().toStdString();
    c.SkyColumn = ColumnText(SkyColumn).toStdString();
    c.DewColumn = ColumnText(DewColumn).toStdString();
    c.TimeColumn = TimeColumn->currentIndex() <= 0 ? std::string() : TimeColumn->currentText().toStdString();
    c.DateOrder = DateOrder->currentData().toString().toStdString();
    return c;
}

bool TAirFileDialog::FitDuration() const
{
    return WholeFile->isChecked();
}

void TAirFileDialog::Browse()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Air temperatures"), DialogStart(Path->text()),
                                                      QStringLiteral("Tables (*.csv *.txt *.tsv);;All files (*)"),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (file.isEmpty())
        return;
    RememberFolder(file);
    Path->setText(file);
    ReadFile();
}

void TAirFileDialog::ReadFile()
{
    table_.reset();
    Preview->Clear();
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    TAirFileChoice choice = Choice();
    try {
        table_ = ReadTimeTable(choice.Path, AirTableOptions(choice));
    } catch (const std::exception& e) {
        for (QComboBox* box : {AirColumn, SkyColumn, DewColumn}) box->clear();
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        return;
    }
    OfferColumns(*table_);
    UpdatePreview();
}

void TAirFileDialog::OfferColumns(const TTimeTable& t)
{
    const QString time = TimeColumn->currentIndex() > 0 ? TimeColumn->currentText() : QString();
    TimeColumn->clear();
    TimeColumn->addItem(FromData);
    TimeColumn->addItem(QString::fromStdString(t.Names[0]));
    for (QComboBox* box : {AirColumn, SkyColumn, DewColumn}) box->clear();
    for (QComboBox* box : {SkyColumn, DewColumn}) box->addItem(None);
    for (std::size_t i = 1; i < t.Names.size(); ++i) {
        for (QComboBox* box : {AirColumn, SkyColumn, DewColumn}) box->addItem(QString::fromStdString(t.Names[i]));
        TimeColumn->addItem(QString::fromStdString(t.Names[i]));
    }
    TimeColumn->setCurrentIndex(time.isEmpty() ? 0 : std::max(0, TimeColumn->findText(time)));
    AirColumn->setCurrentIndex(DefaultAirColumn(t) - 1);
    SkyColumn->setCurrentIndex(std::max(0, ColumnContaining(t, "sky")));
    DewColumn->setCurrentIndex(std::max(0, DefaultDewColumn(t)));
    Start->setEnabled(t.ClockTimes);
}

void TAirFileDialog::UpdatePreview()
{
    if (!table_)
        return;
    const TTimeTable& t = *table_;
    std::shared_ptr<const TAirSource> source;
    try {
        source = TAirSource::FromTable(t, Choice());  // the table read once, not the file again
    } catch (const std::exception& e) {
        Preview->Clear();
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
        return;
    }
    QString info = QString::number(t.Times.size()) + QStringLiteral(" rows");
    if (t.ClockTimes)
        info += QStringLiteral(" from ") + QString::fromStdString(LocalDateTimeText(t, t.Times.front())) +
                QStringLiteral(" to ") + QString::fromStdString(LocalDateTimeText(t, t.Times.back()));
    info += QStringLiteral(", over %1 minutes.").arg(QLocale().toString((t.Times.back() - t.Times.front()) / 60, 'f', 1));
    Info->setText(info);
    Preview->Show(*source);
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
}

void TAirFileDialog::LoadAndAccept()
{
    try {
        source_ = TAirSource::Load(Choice());
    } catch (const std::exception& e) {
        ShowRefusal(Info, QString::fromUtf8(e.what()));
        return;
    }
    accept();
}

}  // namespace brennic
