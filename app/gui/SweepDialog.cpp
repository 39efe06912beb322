#include "app/gui/SweepDialog.h"
#include "app/gui/FileFolders.h"

#include "app/core/results/Readiness.h"
#include "app/core/run/Headline.h"
#include "app/core/tables/DateTimeText.h"
#include "app/gui/ChartSupport.h"
#include "app/gui/ErrorReport.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <thread>

namespace brennic {

namespace {

// A swept input's name with its unit: "Mirror Thickness (mm)".
QString AxisTitle(const QComboBox* key)
{
    const int field = FieldByKey(key->currentData().toString().toStdString());
    const char* unit = field >= 0 ? InputFields[std::size_t(field)].Unit : "";
    return *unit ? key->currentText() + QStringLiteral(" (") + QString::fromUtf8(unit) + u')' : key->currentText();
}

QComboBox* KeyChoice(QWidget* parent, bool optional)
{
    auto* box = new QComboBox(parent);
    if (optional)
        box->addItem(QStringLiteral("(none)"), QString());
    for (const TInputField& f : InputFields)
        box->addItem(QString::fromUtf8(f.Caption), QString::fromLatin1(f.Key));
    box->addItem(QStringLiteral("Mirror Material"), QString::fromLatin1(MaterialKey));
    return box;
}

// Numbers along the axis; a material or a choice (typed or conditions)
// is drawn by name at its place in the list.
bool Numeric(const TSweepAxis& axis)
{
    return axis.Field >= 0 && !InputFields[axis.Field].Choices;
}

QPushButton* Button(QWidget* parent, const QString& text, QHBoxLayout* row)
{
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

// A value with its unit: "20 mm", "BK7".
QString WithUnit(const TSweepAxis& axis, std::size_t i)
{
    QString text = QString::fromStdString(SweepValueText(axis, i));
    if (axis.Field >= 0 && InputFields[axis.Field].Unit[0])
        text += u' ' + QString::fromUtf8(InputFields[axis.Field].Unit);
    return text;
}

// "84.8", or with the air's local clock "84.8 (20:04)".
QString Minutes(std::optional<double> m, char16_t sep, std::optional<double> clockZero)
{
    if (!m)
        return QStringLiteral("\u2014");
    std::string text = FixedText(*m, 1, sep);
    if (clockZero)
        text += " (" + ClockTimeText(*clockZero + *m * 60) + ")";
    return QString::fromStdString(text);
}

// Green for the quickest case, red for the slowest and those never ready.
QColor Shade(std::optional<double> m, double lo, double hi)
{
    if (!m)
        return QColor(230, 140, 140);
    const double f = hi > lo ? (*m - lo) / (hi - lo) : 0;
    return QColor::fromHsvF(float((1 - f) * 0.33), 0.35f, 0.97f);
}

}  // namespace

TSweepDialog::TSweepDialog(std::function<TRequestSource()> base, char16_t decimalSeparator, QWidget* parent)
    : QDialog(parent), base_(std::move(base)), decimal_(decimalSeparator)
{
    setObjectName(QStringLiteral("SweepDialog"));
    setWindowTitle(QStringLiteral("Sweep: what does a change buy?"));
    worker_ = new TRunWorker(this);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(50);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        Progress->setValue(int(done_.load()));
        if (running_.exchange(false))
            Status->setText(QStringLiteral("Running %1 cases\u2026").arg(Progress->maximum() / 2));
    });

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Key1 = KeyChoice(this, false);
    Key1->setCurrentIndex(fThickness);
    Values1 = new QLineEdit(QStringLiteral("20:50:5"), this);
    Key2 = KeyChoice(this, true);
    Values2 = new QLineEdit(this);
    const QString hint = QStringLiteral(
        "A list (5,10,20) or a range FROM:TO:STEP (20:50:5), numbers with a full stop; materials by name or 0 to 5");
    for (QLineEdit* e : {Values1, Values2}) e->setToolTip(hint);
    auto* first = new QHBoxLayout;
    first->addWidget(Key1);
    first->addWidget(Values1, 1);
    auto* second = new QHBoxLayout;
    second->addWidget(Key2);
    second->addWidget(Values2, 1);
    form->addRow(QStringLiteral("Sweep:"), first);
    form->addRow(QStringLiteral("and:"), second);
    Quantity = new QComboBox(this);
    Quantity->addItems({QStringLiteral("Surface"), QStringLiteral("Back"), QStringLiteral("Whole glass")});
    Tolerance = new QComboBox(this);
    auto* show = new QHBoxLayout;
    show->addWidget(Quantity);
    show->addWidget(new QLabel(QStringLiteral("within"), this));
    show->addWidget(Tolerance);
    show->addWidget(new QLabel(QStringLiteral("\u00b0C of the air"), this));
    show->addStretch();
    form->addRow(QStringLiteral("Ready time of:"), show);
    layout->addLayout(form);

    Progress = new QProgressBar(this);
    Status = new QLabel(this);
    Status->setWordWrap(true);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Chart = new QChartView(this);
    Chart->setMinimumSize(480, 260);
    Chart->setRenderHint(QPainter::Antialiasing);
    Table = new QTableWidget(this);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setMinimumHeight(160);
    for (QWidget* w : std::initializer_list<QWidget*>{Progress, Status, Chart, Table}) layout->addWidget(w);

    auto* buttons = new QHBoxLayout;
    Run = Button(this, QStringLiteral("Run sweep"), buttons);
    Cancel = Button(this, QStringLiteral("Cancel"), buttons);
    Copy = Button(this, QStringLiteral("Copy table"), buttons);
    Export = Button(this, QStringLiteral("Export\u2026"), buttons);
    buttons->addStretch();
    Close = Button(this, QStringLiteral("Close"), buttons);
    layout->addLayout(buttons);
    for (QPushButton* b : {Cancel, Copy, Export}) b->setEnabled(false);

    for (double t : base_().Tolerances) Tolerance->addItem(QString::fromStdU16String(FormatFloat(t, decimal_)));
    connect(Run, &QPushButton::clicked, this, [this] { Guarded([this] { RunSweep(); }); });
    connect(Cancel, &QPushButton::clicked, this, [this] { worker_->Cancel(); });
    connect(Copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(QString::fromStdString(TableText())); });
    connect(Export, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export the sweep"), DialogStart(),
                                                              QStringLiteral("CSV files (*.csv)"));
            if (!path.isEmpty()) {
                RememberFolder(path);
                SaveTable(path);
            }
        });
    });
    connect(Close, &QPushButton::clicked, this, [this] { reject(); });
    for (QComboBox* b : {Quantity, Tolerance})
        connect(b, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { ShowResults(); }); });
}

void TSweepDialog::reject()
{
    // Closing while the job runs cancels it; the dialog closes when it has ended.
    if (!worker_->CancelThen(this, [this] { QDialog::reject(); }))
        QDialog::reject();
}

void TSweepDialog::RunSweep()
{
    if (worker_->Busy())
        return;
    // Reading the values is quick; checking every case builds its run and
    // may read through the air, so that happens on the worker.
    std::vector<TSweepAxis> axes;
    try {
        axes.push_back(ParseSweep(Key1->currentData().toString().toStdString() + "=" + Values1->text().toStdString()));
        if (!Key2->currentData().toString().isEmpty())
            axes.push_back(
                ParseSweep(Key2->currentData().toString().toStdString() + "=" + Values2->text().toStdString()));
    } catch (const std::exception& e) {
        plan_.reset();
        Status->setText(ErrorReportText(QString::fromUtf8(e.what())));
        return;
    }
    plan_.reset();
    results_.clear();
    done_ = 0;
    const std::size_t cases = std::min(SweepCaseCount(axes), MaxSweepCases);
    Progress->setRange(0, int(2 * cases));
    Progress->setValue(0);
    Status->setText(QStringLiteral("Checking %1 cases\u2026").arg(cases));
    for (QPushButton* b : {Run, Copy, Export}) b->setEnabled(false);
    Cancel->setEnabled(true);
    struct TOutcome {
        std::optional<TSweepPlan> Plan;
        std::vector<TReadiness> Results;
        std::string Note;
    };
    auto outcome = std::make_shared<TOutcome>();
    running_ = false;
    TRequestSource base = base_();
    clockZero_ = LocalClockZero(base.Air.get());
    worker_->Start(
        [this, base = std::move(base), axes = std::move(axes), outcome](std::stop_token stop) mutable {
            const TSweepPlan plan =
                PlanSweep(base, std::move(axes), stop, [this](std::size_t checked) { done_ = checked; });
            if (stop.stop_requested())
                return;
            outcome->Plan = plan;
            running_ = true;
            const std::size_t checked = plan.Cases;
            outcome->Results = brennic::RunSweep(
                plan, std::max(1u, std::thread::hardware_concurrency()), stop,
                [this, checked](std::size_t done) { done_ = checked + done; },
                [outcome](const std::string& note) { outcome->Note = note; });
            if (stop.stop_requested())
                outcome->Results.clear();
        },
        [this, outcome](const QString& error) {
            plan_ = std::move(outcome->Plan);
            results_ = std::move(outcome->Results);
            note_ = QString::fromStdString(outcome->Note);
            if (!note_.isEmpty())
                note_[0] = note_[0].toUpper();
            SweepEnded(error);
        });
    progressTimer_->start();
}

void TSweepDialog::SweepEnded(const QString& error)
{
    progressTimer_->stop();
    Run->setEnabled(true);
    Cancel->setEnabled(false);
    if (!error.isEmpty())
        Status->setText(ErrorReportText(error));
    else if (results_.empty())
        Status->setText(QStringLiteral("The sweep was cancelled."));
    else
        Status->setText(QStringLiteral("%1 cases.").arg(results_.size()));
    Progress->setValue(Progress->maximum());
    for (QPushButton* b : {Copy, Export}) b->setEnabled(!results_.empty());
    ShowResults();
    if (!results_.empty() && !note_.isEmpty())
        Status->setText(Status->text() + QLatin1Char(' ') + note_);  // the threads' note stays in view
    emit sweepFinished();
}

std::optional<double> TSweepDialog::ReadyMinutes(std::size_t index) const
{
    const auto t = results_.at(index).ReadyFrom(TReadiness::Part(Quantity->currentIndex()),
                                                std::size_t(std::max(0, Tolerance->currentIndex())));
    return t ? std::optional<double>(*t / 60) : std::nullopt;
}

std::string TSweepDialog::TableText() const
{
    if (!plan_ || results_.empty())
        return {};
    std::string text = SweepCsvHeader(*plan_);
    for (std::size_t i = 0; i < results_.size(); ++i) text += SweepCsvRow(*plan_, i, results_[i]);
    return text;
}

void TSweepDialog::SaveTable(const QString& path) const
{
    WriteFileAtomically(QFile::encodeName(path).toStdString(), TableText());
}

void TSweepDialog::ShowResults()
{
    Table->clear();
    Chart->chart()->removeAllSeries();
    for (QAbstractAxis* a : Chart->chart()->axes()) Chart->chart()->removeAxis(a);
    if (!plan_ || results_.empty())
        return;
    Chart->setVisible(plan_->Axes.size() == 1);
    if (plan_->Axes.size() == 1)
        ShowLine();
    else
        ShowGrid();
}

void TSweepDialog::ShowLine()
{
    const TSweepAxis& axis = plan_->Axes[0];
    Table->setRowCount(int(results_.size()));
    Table->setColumnCount(2);
    Table->setHorizontalHeaderLabels(
        {AxisTitle(Key1), clockZero_ ? QStringLiteral("Ready (min, local time)") : QStringLiteral("Ready (min)")});
    auto* line = new QLineSeries;
    auto* never = new QScatterSeries;
    line->setName(Quantity->currentText() + QStringLiteral(" within ") + Tolerance->currentText() +
                  QStringLiteral(" \u00b0C"));
    never->setName(QStringLiteral("not reached (drawn at the end)"));
    never->setMarkerSize(8);
    double top = 0;
    for (std::size_t i = 0; i < results_.size(); ++i) top = std::max(top, results_[i].Last().Time / 60);
    for (std::size_t i = 0; i < results_.size(); ++i) {
        const QString value = WithUnit(axis, i);
        const double x = Numeric(axis) ? StrToFloat(FromUtf8(axis.Values[i]), u'.') : double(i);
        const std::optional<double> m = ReadyMinutes(i);
        Table->setItem(int(i), 0, new QTableWidgetItem(value));
        Table->setItem(int(i), 1, new QTableWidgetItem(Minutes(m, decimal_, clockZero_)));
        if (m)
            line->append(x, *m);
        else
            never->append(x, top);
    }
    QChart* c = Chart->chart();
    c->addSeries(line);
    c->addSeries(never);
    c->createDefaultAxes();
    c->axes(Qt::Vertical).first()->setTitleText(QStringLiteral("ready after (min)"));
    c->axes(Qt::Vertical).first()->setRange(0, std::max(top, 1.0) * 1.05);
    c->axes(Qt::Horizontal).first()->setTitleText(AxisTitle(Key1));
    if (Numeric(axis)) {
        double lo = 1e300, hi = -1e300;
        for (const std::string& v : axis.Values) {
            lo = std::min(lo, StrToFloat(FromUtf8(v), u'.'));
            hi = std::max(hi, StrToFloat(FromUtf8(v), u'.'));
        }
        const double pad = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::fabs(lo) * 0.1);
        c->axes(Qt::Horizontal).first()->setRange(lo - pad, hi + pad);
    }
    for (QAbstractAxis* a : c->axes())
        if (auto* v = qobject_cast<QValueAxis*>(a))
            UseRoundTicks(v);
    if (!Numeric(axis)) {
        auto* names = new QCategoryAxis;
        for (std::size_t i = 0; i < axis.Values.size(); ++i)
            names->append(QString::fromStdString(SweepValueText(axis, i)), double(i) + 0.5);
        names->setRange(-0.5, double(axis.Values.size()) - 0.5);
        names->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        c->removeAxis(c->axes(Qt::Horizontal).first());
        c->addAxis(names, Qt::AlignBottom);
        line->attachAxis(names);
        never->attachAxis(names);
    }
}

void TSweepDialog::ShowGrid()
{
    const TSweepAxis &rows = plan_->Axes[0], &columns = plan_->Axes[1];
    Table->setRowCount(int(rows.Values.size()));
    Table->setColumnCount(int(columns.Values.size()));
    QStringList rowNames, columnNames;
    for (std::size_t i = 0; i < rows.Values.size(); ++i) rowNames << WithUnit(rows, i);
    for (std::size_t j = 0; j < columns.Values.size(); ++j) columnNames << WithUnit(columns, j);
    Status->setText(QStringLiteral("%1 cases. Rows: ").arg(results_.size()) + AxisTitle(Key1) +
                    QStringLiteral("; columns: ") + AxisTitle(Key2) + QStringLiteral("; minutes until ready."));
    Table->setVerticalHeaderLabels(rowNames);
    Table->setHorizontalHeaderLabels(columnNames);
    double lo = 1e300, hi = -1e300;
    for (std::size_t i = 0; i < results_.size(); ++i)
        if (const auto m = ReadyMinutes(i)) {
            lo = std::min(lo, *m);
            hi = std::max(hi, *m);
        }
    for (std::size_t i = 0; i < results_.size(); ++i) {
        const std::optional<double> m = ReadyMinutes(i);
        auto* item = new QTableWidgetItem(Minutes(m, decimal_, clockZero_));
        item->setBackground(Shade(m, lo, hi));
        item->setTextAlignment(Qt::AlignCenter);
        Table->setItem(int(i / columns.Values.size()), int(i % columns.Values.size()), item);
    }
    Table->setToolTip(QStringLiteral("Ready time in minutes: rows ") + AxisTitle(Key1) +
                      QStringLiteral(", columns ") + AxisTitle(Key2));
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

TSweepDialog::~TSweepDialog()
{
    worker_->Stop();
}

}  // namespace brennic
