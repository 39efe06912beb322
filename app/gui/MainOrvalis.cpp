#include "app/gui/MainOrvalis.h"

#include "app/core/Readiness.h"
#include "app/core/Workbook.h"
#include "app/gui/AirFileDialog.h"
#include "app/gui/ChartImage.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/FitDialog.h"
#include "app/gui/LogDialog.h"
#include "app/gui/StripView.h"
#include "support/LibPlatform.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace brennic {

namespace {

constexpr int DesignWidth = 855;
constexpr int DesignHeight = 671;

const QString FilmHint = QStringLiteral(
    "For natural convection without fans the film coefficients lie between 5\r\n"
    "and 15 W/mK. A lot depends on the geometry of the telescope tube or\r\n"
    "mirror box, how open design the design is, the position of the\r\n"
    "telescope, even whether there's a breeze...\r\n"
    "Normal values are 8 or 10 W/m\u00b2K.\r\n"
    "\r\n"
    "For forced cooling with fans the film coefficients lie between 25 and\r\n"
    "100 W/m\u00b2K. Once again, it's nearly impossible to give a more precise\r\n"
    "estimation. It all depends on the number, capacity and position of the\r\n"
    "fans, the geometry of the mirror cell and even the position of the\r\n"
    "telescope.");
const QString AirHint = QStringLiteral("The ambient temperature varies linearly between the initial and final value");
const QString BackRadiationHint = QStringLiteral("Usually zero (mirror back doesn't radiate to the sky)");

QString ToQ(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

std::u16string FromQ(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

// Where each input stands: its group (0 to 2), row, the names of its label,
// edit and unit label, and the lefts of the edit and the unit.
struct TFieldPlace {
    int field;
    int group;
    int row;
    QLabel* TFrmBrennic::*label;
    const char* labelName;
    QLineEdit* TFrmBrennic::*edit;
    const char* editName;
    QLabel* TFrmBrennic::*unit;
    const char* unitName;
    int editLeft, unitLeft, labelTop, editTop;
};

using F = TFrmBrennic;
const TFieldPlace FieldPlaces[] = {
    {fThickness, 0, 0, &F::Label1, "Label1", &F::edtThickness, "edtThickness", &F::Label7, "Label7", 152, 219, 19, 16},
    {fInitialMirrorTemp, 0, 1, &F::Label2, "Label2", &F::edtInitialMirrorTemp, "edtInitialMirrorTemp", &F::Label8,
     "Label8", 152, 219, 46, 43},
    {fElementCount, 0, 3, &F::lbl1, "lbl1", &F::edtElementCount, "edtElementCount", nullptr, nullptr, 152, 0, 99, 96},
    {fFrontFilm, 1, 0, &F::lbl5, "lbl5", &F::edtFrontFanFlow, "edtFrontFanFlow", &F::lbl6, "lbl6", 132, 199, 19, 16},
    {fFrontRadiation, 1, 1, &F::lbl2, "lbl2", &F::edtFrontRadiation, "edtFrontRadiation", nullptr, nullptr, 132, 0, 46,
     43},
    {fBackFilm, 1, 2, &F::lbl8, "lbl8", &F::edtBackFanFlow, "edtBackFanFlow", &F::lbl9, "lbl9", 132, 199, 73, 70},
    {fBackRadiation, 1, 3, &F::lbl3, "lbl3", &F::edtBackRadiation, "edtBackRadiation", nullptr, nullptr, 132, 0, 100,
     97},
    {fInitialAirTemp, 2, 0, &F::Label3, "Label3", &F::edtInitialAirTemp, "edtInitialAirTemp", &F::Label9, "Label9", 133,
     199, 19, 16},
    {fFinalAirTemp, 2, 1, &F::Label4, "Label4", &F::edtFinalAirTemp, "edtFinalAirTemp", &F::Label10, "Label10", 133,
     199, 46, 43},
    {fDuration, 2, 2, &F::Label5, "Label5", &F::edtTimeInterval, "edtTimeInterval", &F::Label11, "Label11", 133, 200,
     73, 70},
    {fTimeStep, 2, 3, &F::Label6, "Label6", &F::edtTimeStep, "edtTimeStep", &F::Label12, "Label12", 133, 200, 101, 97},
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int left, int width, bool enabled)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 149, width, 25);
    button->setAutoDefault(false);
    button->setEnabled(enabled);
    return button;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, int left)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(left, 8, 256, 129);
    return group;
}

// Styles that draw the caption above the frame put the frame's top line
// where the first row would touch it: such groups move their contents down,
// each control by the same amount. The contents rectangle starts at the line.
void KeepClearOfTheFrame(QGroupBox* group)
{
    const int shift = std::max(0, group->contentsRect().top() + 4 - 16);
    for (QWidget* child : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->move(child->pos() + QPoint(0, shift));
}

}  // namespace

QString HelpAddress()
{
    static const QString address = [] {
        const QString dir = QCoreApplication::applicationDirPath();
        QString path = dir + QStringLiteral("/help.html");
        if (!QFileInfo::exists(path))
            path = QFileInfo(dir + QStringLiteral("/../share/brennic/help.html")).absoluteFilePath();
        return QUrl::fromLocalFile(path).toString();
    }();
    return address;
}

void UseWindowFont()
{
    QString family = QStringLiteral("DejaVu Sans");
    for (const char* dir : {"/usr/share/wine/fonts/", "/usr/share/fonts/truetype/msttcorefonts/"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(dir) + QStringLiteral("tahoma.ttf"));
        if (id >= 0) {
            family = QFontDatabase::applicationFontFamilies(id).value(0, family);
            QFontDatabase::addApplicationFont(QString::fromLatin1(dir) + QStringLiteral("tahomabd.ttf"));
            break;
        }
    }
    QFont font(family);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

TFrmBrennic::TFrmBrennic(QWidget* parent) : QWidget(parent)
{
    CreateControls();
    FormCreate();
    qApp->installEventFilter(this);
}

TFrmBrennic::~TFrmBrennic()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TFrmBrennic::CreateControls()
{
    setObjectName(QStringLiteral("FrmBrennic"));
    setWindowTitle(QStringLiteral("Telescope Brennic"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(238, 238, 238));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(DesignWidth, DesignHeight);
    setMinimumSize(DesignWidth, DesignHeight);

    CreateInputs();
    CreateCommands();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new TProfilePage;
    TabSheet3 = new TEvolutionPage(StripPalette);
    PageControl1->addTab(TabSheet1, QStringLiteral("Temperate Profile"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Temperature Evolution"));
    // Beside the page tabs: the log of the user's mirror and the air's source.
    auto* corner = new QWidget;
    auto* cornerRow = new QHBoxLayout(corner);
    cornerRow->setContentsMargins(0, 0, 0, 0);
    cornerRow->setSpacing(4);
    btnMeasured = new QPushButton(QStringLiteral("Measured log\u2026"), corner);
    btnMeasured->setObjectName(QStringLiteral("btnMeasured"));
    btnMeasured->setToolTip(QStringLiteral("Show a log of your own mirror's sensors over the curves"));
    btnFit = new QPushButton(QStringLiteral("Fit\u2026"), corner);
    btnFit->setObjectName(QStringLiteral("btnFit"));
    btnFit->setToolTip(QStringLiteral("Fit the film coefficients to the measured log"));
    btnFit->setEnabled(false);
    AirBar = new TAirSourceBar(corner);
    for (QWidget* w : {static_cast<QWidget*>(btnMeasured), static_cast<QWidget*>(btnFit)}) {
        w->setFixedHeight(21);
        cornerRow->addWidget(w);
    }
    cornerRow->addSpacing(8);
    cornerRow->addWidget(AirBar);
    CreateFileMenu(corner);
    cornerRow->insertWidget(0, btnFile);
    cornerRow->insertSpacing(1, 8);
    PageControl1->setCornerWidget(corner, Qt::TopRightCorner);
    Chart4 = TabSheet1->Chart;
    LineSeries3 = TabSheet1->Series;
    StaticText1 = TabSheet1->FrontLabel;
    StaticText2 = TabSheet1->BackLabel;
    Chart1 = TabSheet3->Chart;
    LineSeries1 = TabSheet3->Core;
    Series2 = TabSheet3->Surface;
    Series3 = TabSheet3->Back;
    Series1 = TabSheet3->Air;
    ImgView321 = TabSheet3->Strip;

    StatusBar1 = new TClickStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    QFont statusFont = font();
    statusFont.setPixelSize(12);
    StatusBar1->Panel()->setFont(statusFont);

    SaveDialog1 = new QFileDialog(this, QStringLiteral("Export to CSV file"));
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setOption(QFileDialog::DontUseNativeDialog, true);
    SaveDialog1->setNameFilters({QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*.*)")});
    SaveDialog1->selectNameFilter(QStringLiteral("CSV files (*.csv)"));
    SaveDialog1->setDefaultSuffix(QStringLiteral("csv"));
    SaveDialog1->setSizeGripEnabled(true);

    // Tab order: the groups' rows top to bottom, then the commands.
    QWidget* order[] = {edtThickness,
                        edtInitialMirrorTemp,
                        cmbMaterial,
                        edtElementCount,
                        edtFrontFanFlow,
                        edtFrontRadiation,
                        edtBackFanFlow,
                        edtBackRadiation,
                        edtInitialAirTemp,
                        edtFinalAirTemp,
                        edtTimeInterval,
                        edtTimeStep,
                        btnRun,
                        btnCancel,
                        btnExportCSV,
                        btnKeepRun,
                        btnClearKept,
                        chkSurfaceMinusAir,
                        PageControl1,
                        btnHelp};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    ConnectHandlers();
    LayoutAnchored();
}

void TFrmBrennic::CreateInputs()
{
    grpMirror = MakeGroup(this, "grpMirror", QStringLiteral(" Mirror Properties "), 8);
    grpHeatTransfer = MakeGroup(this, "grpHeatTransfer", QStringLiteral(" Heat Transfer Properties "), 270);
    grpSimulation = MakeGroup(this, "grpSimulation", QStringLiteral(" Simulation "), 532);
    QGroupBox* groups[] = {grpMirror, grpHeatTransfer, grpSimulation};

    for (const TFieldPlace& p : FieldPlaces) {
        const TInputField& f = InputFields[p.field];
        QGroupBox* g = groups[p.group];
        QLabel* caption = MakeLabel(g, p.labelName, QString::fromUtf8(f.Caption) + u':', 16, p.labelTop);
        auto* edit = new QLineEdit(QString::fromStdU16String(f.Default), g);
        edit->setObjectName(QString::fromLatin1(p.editName));
        edit->setGeometry(p.editLeft, p.editTop, 61, 21);
        caption->setBuddy(edit);
        this->*p.label = caption;
        this->*p.edit = edit;
        if (p.unit)
            this->*p.unit = MakeLabel(g, p.unitName, QString::fromUtf8(f.Unit), p.unitLeft, p.labelTop);
    }
    Label13 = MakeLabel(grpMirror, "Label13", QStringLiteral("Mirror Material:"), 16, 73);
    cmbMaterial = new QComboBox(grpMirror);
    cmbMaterial->setObjectName(QStringLiteral("cmbMaterial"));
    cmbMaterial->setEditable(false);
    cmbMaterial->setGeometry(152, 70, 83, 21);
    Label13->setBuddy(cmbMaterial);
    for (QGroupBox* g : groups) KeepClearOfTheFrame(g);
}

void TFrmBrennic::CreateCommands()
{
    btnRun = MakeButton(this, "btnRun", QStringLiteral("Run"), 28, 102, true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"), 140, 102, false);
    btnExportCSV = MakeButton(this, "btnExportCSV", QStringLiteral("Export to CSV"), 252, 102, false);
    btnHelp = MakeButton(this, "btnHelp", QStringLiteral("On-line Help (F1)"), 665, 102, true);
    // Comparing runs, in the free space between the export and help commands.
    btnKeepRun = MakeButton(this, "btnKeepRun", QStringLiteral("Keep for comparison"), 362, 112, false);
    btnKeepRun->setToolTip(QStringLiteral("Keep this run's curves on the evolution chart (up to four runs)"));
    btnClearKept = MakeButton(this, "btnClearKept", QStringLiteral("Clear kept runs"), 480, 92, false);
    chkSurfaceMinusAir = new QCheckBox(QStringLiteral("Surface \u2212 air"), this);
    chkSurfaceMinusAir->setObjectName(QStringLiteral("chkSurfaceMinusAir"));
    chkSurfaceMinusAir->setGeometry(578, 149, 84, 25);
    chkSurfaceMinusAir->setToolTip(QStringLiteral("Show the surface's distance to the air on the evolution chart"));
}

void TFrmBrennic::ConnectHandlers()
{
    connect(btnRun, &QPushButton::clicked, this, [this] { Guarded([this] { btnRunClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { Guarded([this] { btnCancelClick(); }); });
    connect(btnExportCSV, &QPushButton::clicked, this, [this] { Guarded([this] { btnExportCSVClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { Guarded([this] { btnHelpClick(); }); });
    connect(btnKeepRun, &QPushButton::clicked, this, [this] { Guarded([this] { btnKeepRunClick(); }); });
    connect(btnClearKept, &QPushButton::clicked, this, [this] { Guarded([this] { btnClearKeptClick(); }); });
    connect(chkSurfaceMinusAir, &QCheckBox::toggled, this,
            [this](bool on) { Guarded([this, on] { TabSheet3->ShowSurfaceMinusAir(on); }); });
    connect(btnMeasured, &QPushButton::clicked, this, [this] { Guarded([this] { ChooseMeasuredLog(); }); });
    connect(btnFit, &QPushButton::clicked, this, [this] { Guarded([this] { ShowFitDialog(); }); });
    connect(AirBar, &TAirSourceBar::fileRequested, this, [this] { Guarded([this] { ChooseAirFile(); }); });
    connect(AirBar, &TAirSourceBar::rampChosen, this, [this] { Guarded([this] { UseAirRamp(); }); });
    connect(StatusBar1, &TClickStatusBar::clicked, this, [this] { Guarded([this] { btnHelpClick(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int page) { Guarded([this, page] { RedrawPage(page); }); });
}

void TFrmBrennic::FormCreate()
{
    Solver = std::make_unique<TBrennicOneD>();
    ResultLines = &Record.Lines;
    StripMap = &Record.Strip;
    BuildStripPalette();
    ImgView321->SetSource(StripMap);
    PageControl1->setCurrentIndex(ProfilePage);

    // Hints stay up for 20 s.
    ReadRegionalSettings();
    for (QLineEdit* e : {edtFrontFanFlow, edtBackFanFlow}) e->setToolTip(FilmHint);
    edtBackRadiation->setToolTip(BackRadiationHint);
    for (QLineEdit* e : {edtInitialAirTemp, edtFinalAirTemp}) e->setToolTip(AirHint);
    for (QLineEdit* e :
         {edtFrontFanFlow, edtBackFanFlow, edtFrontRadiation, edtBackRadiation, edtInitialAirTemp, edtFinalAirTemp})
        e->setToolTipDuration(20000);

    cmbMaterial->clear();
    for (const TGlassProperties& m : GlassMaterials)
        cmbMaterial->addItem(QString::fromUtf8(m.Name.data(), qsizetype(m.Name.size())));
    cmbMaterial->setCurrentIndex(0);

    // The decimal defaults in the user's own form.
    for (int field : {fThickness, fFrontRadiation})
        FieldEdit(field)->setText(
            ToQ(FormatFloat(StrToFloat(InputFields[field].Default, u'.'), Regional.DecimalSeparator)));
    edtThickness->setFocus();
}

void TFrmBrennic::FormDestroy()
{
    ResultLines = nullptr;
    StripMap = nullptr;
}

QLineEdit* TFrmBrennic::FieldEdit(int field) const
{
    for (const TFieldPlace& p : FieldPlaces)
        if (p.field == field)
            return this->*p.edit;
    return nullptr;
}

TInputTexts TFrmBrennic::InputTexts() const
{
    TInputTexts texts;
    for (int f = 0; f < FieldCount; ++f) texts.Text(f) = FromQ(FieldEdit(f)->text());
    texts.Material = cmbMaterial->currentIndex();
    return texts;
}

void TFrmBrennic::ReadRegionalSettings()
{
    Regional = MakeRegionalSettings(SystemDecimalSeparator(), SystemListSeparator());
    edtFrontRadiation->setToolTip(QStringLiteral("Use ") + ToQ(FormatFloat(0.04, Regional.DecimalSeparator)) +
                                  QStringLiteral(" for an optical surface with aluminum coating"));
    TabSheet1->SetDecimalSeparator(Regional.DecimalSeparator);
    TabSheet3->SetDecimalSeparator(Regional.DecimalSeparator);
}

void TFrmBrennic::BuildStripPalette()
{
    StripPalette = MakeStripPalette();
}

const TCurve& TFrmBrennic::Curve(QXYSeries* series) const
{
    if (series == LineSeries3)
        return TabSheet1->Curve();
    return TabSheet3->Curve(series);
}

void TFrmBrennic::LayoutAnchored()
{
    const int w = width(), h = height();
    PageControl1->setGeometry(8, 184, std::max(0, w - 16), std::max(0, h - 184 - (DesignHeight - 646)));
    StatusBar1->setGeometry(0, h - 19, w, 19);
}

void TFrmBrennic::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutAnchored();
}

void TFrmBrennic::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LocaleChange)
        Guarded([this] { ReadRegionalSettings(); });
}

bool TFrmBrennic::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            bool handled = false;
            Guarded([&] { handled = FormKeyDown(static_cast<QKeyEvent*>(event)->key()); });
            if (handled)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TFrmBrennic::FormKeyDown(int key)
{
    if (key != Qt::Key_F1)
        return false;
    btnHelp->click();  // modifiers are not examined
    return true;
}

void TFrmBrennic::closeEvent(QCloseEvent* e)
{
    if (Solver && Solver->Running) {
        // The run goes on unless cancelled; the window closes when it ends.
        closeRequested_ = true;
        e->ignore();
        return;
    }
    e->accept();
}

void TFrmBrennic::SetButtonsRunning(bool running)
{
    if (running) {
        btnRun->setEnabled(false);
        btnExportCSV->setEnabled(false);
        btnCancel->setEnabled(true);
    } else {
        btnRun->setEnabled(true);
        btnCancel->setEnabled(false);
        btnExportCSV->setEnabled(ResultLines->Count() > 1);
    }
    UpdateKeepButtons();
}

void TFrmBrennic::UpdateKeepButtons()
{
    const bool running = Solver && Solver->Running;
    btnKeepRun->setEnabled(!running && ResultLines && ResultLines->Count() > 1 && !Kept.Full());
    btnClearKept->setEnabled(!Kept.Runs().empty());
}

void TFrmBrennic::btnRunClick()
{
    if (AirSource)
        ShowAirFromFile();  // the period may have changed the air at its end
    const TInputTexts texts = InputTexts();
    TRunPlan plan;
    // Everything a run needs is checked before anything of the last run goes;
    // a refused field takes the focus with its text selected.
    auto focus = [this](int field) {
        QLineEdit* edit = FieldEdit(field);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    };
    try {
        plan = ConfigureSolver(texts, *Solver);
    } catch (const EFieldConvertError& e) {
        focus(e.Field);
        throw;
    } catch (const EFieldError& e) {
        focus(e.Field);
        throw;
    }
    StartRun(texts, plan);

    struct Restore {
        TFrmBrennic* w;
        ~Restore() { w->SetButtonsRunning(false); }
    };
    {
        Restore restore{this};
        Solver->Execute();
        CompareWithLog();
        TabSheet3->Redraw(Record, true);
        RedrawPage(ProfilePage);
    }
    emit RunFinished();
    if (closeRequested_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

TRunPlan TFrmBrennic::ConfigureSolver(const TInputTexts& texts, TBrennicOneD& solver) const
{
    ApplyInputs(texts, Regional.DecimalSeparator, solver);
    solver.AirTemperature = nullptr;
    solver.SkyTemperature = nullptr;
    std::optional<TAirExtremes> extremes;
    if (AirSource) {
        TAirSource::Apply(AirSource, solver);
        extremes = AirSource->Extremes(solver.Duration);
    }
    return PlanRun(solver, Regional.DecimalSeparator, &texts, TFieldNaming::Caption, TMemoryUse::KeepsResults,
                   extremes ? &*extremes : nullptr);
}

void TFrmBrennic::StartRun(const TInputTexts& texts, const TRunPlan& plan)
{
    Solver->OnStep = [this](std::span<const double> p, std::span<const double> t, double time) {
        SolverStep(p, t, time);
    };
    Record.Start(*Solver, plan, texts, Regional, TReadiness::DefaultTolerances, {}, AirSource);
    TabSheet3->StartRun(Record);
    TabSheet1->StartRun(plan);
    TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    SetButtonsRunning(true);
    redrawnOnce_ = false;
}

void TFrmBrennic::ChooseAirFile()
{
    TAirFileDialog dialog(this);
    dialog.SetChoice(AirChoice);
    if (dialog.exec() == QDialog::Accepted && dialog.Source())
        UseAirSource(dialog.Source(), dialog.Choice(), dialog.FitDuration());
}

void TFrmBrennic::UseAirFile(const TAirFileChoice& choice, bool fitDuration)
{
    UseAirSource(TAirSource::Load(choice), choice, fitDuration);
}

void TFrmBrennic::UseAirSource(std::shared_ptr<const TAirSource> source, const TAirFileChoice& choice, bool fitDuration)
{
    if (!AirSource) {
        rampTexts_[0] = edtInitialAirTemp->text();
        rampTexts_[1] = edtFinalAirTemp->text();
    }
    AirSource = std::move(source);
    AirChoice = choice;
    if (fitDuration && AirSource->EndsAt() > 0)
        edtTimeInterval->setText(ToQ(FormatFloat(AirSource->EndsAt() / 60, Regional.DecimalSeparator)));
    ShowAirFromFile();
    AirBar->ShowFile(QString::fromStdString(AirSource->Describe()));
}

void TFrmBrennic::ShowAirFromFile()
{
    // The air fields show the file's air at the start and the end of the period.
    double minutes = 0;
    TryStrToFloat(FromQ(edtTimeInterval->text()), Regional.DecimalSeparator, minutes);
    const double end = std::isfinite(minutes) ? std::max(minutes * 60, 0.0) : 0;
    const QString from = QStringLiteral("From ") + QString::fromStdString(AirSource->Describe());
    for (auto [edit, t] : {std::pair{edtInitialAirTemp, 0.0}, std::pair{edtFinalAirTemp, end}}) {
        edit->setText(ToQ(FormatFloat(AirSource->Air.At(t), Regional.DecimalSeparator)));
        edit->setEnabled(false);
        edit->setToolTip(from);
    }
}

void TFrmBrennic::UseAirRamp()
{
    if (!AirSource)
        return;
    AirSource.reset();
    edtInitialAirTemp->setText(rampTexts_[0]);
    edtFinalAirTemp->setText(rampTexts_[1]);
    for (QLineEdit* e : {edtInitialAirTemp, edtFinalAirTemp}) {
        e->setEnabled(true);
        e->setToolTip(AirHint);
    }
    AirBar->ShowRamp();
}

void TFrmBrennic::CreateFileMenu(QWidget* parent)
{
    btnFile = new QToolButton(parent);
    btnFile->setObjectName(QStringLiteral("btnFile"));
    btnFile->setText(QStringLiteral("File"));
    btnFile->setPopupMode(QToolButton::InstantPopup);
    btnFile->setFixedHeight(21);
    auto* menu = new QMenu(btnFile);
    auto guarded = [this](void (TFrmBrennic::*handler)()) {
        return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
    };
    QAction* open =
        menu->addAction(QStringLiteral("Open scenario\u2026"), this, guarded(&TFrmBrennic::ChooseScenarioToOpen));
    open->setShortcut(QKeySequence::Open);
    QAction* save =
        menu->addAction(QStringLiteral("Save scenario\u2026"), this, guarded(&TFrmBrennic::ChooseScenarioToSave));
    save->setShortcut(QKeySequence::Save);
    RecentMenu = menu->addMenu(QStringLiteral("Recent scenarios"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Export to spreadsheet\u2026"), this, guarded(&TFrmBrennic::ChooseWorkbookFile));
    menu->addAction(QStringLiteral("Save chart image\u2026"), this, guarded(&TFrmBrennic::ChooseChartImageFile));
    menu->addAction(QStringLiteral("Copy chart to clipboard"), this, guarded(&TFrmBrennic::CopyChart));
    for (QAction* a : {open, save}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);  // the shortcuts work anywhere in the window
    }
    btnFile->setMenu(menu);
    UpdateRecentMenu();
}

TScenario TFrmBrennic::CurrentScenario() const
{
    TScenario s;
    s.Inputs = WithDecimalSeparator(InputTexts(), Regional.DecimalSeparator, u'.');
    if (AirSource && MeasuredLog && AirSource == MeasuredLog->Air) {
        // The log brings its own air.
    } else if (AirSource) {
        s.Air = AirChoice;
    }
    if (MeasuredLog) {
        s.Measured = MeasuredPath;
        s.MeasuredColumns = MeasuredColumns;
        s.MeasuredStart = MeasuredStart;
    }
    if (AirSource) {
        // The air fields show the file's values: keep the ramp's as typed.
        s.Inputs.Text(fInitialAirTemp) = FromQ(rampTexts_[0]);
        s.Inputs.Text(fFinalAirTemp) = FromQ(rampTexts_[1]);
        s.Inputs = WithDecimalSeparator(s.Inputs, Regional.DecimalSeparator, u'.');
    }
    return s;
}

void TFrmBrennic::OpenScenario(const QString& path)
{
    const TScenario s = ReadScenario(QFile::encodeName(path).toStdString());
    // Everything is read before anything changes.
    std::shared_ptr<const TAirSource> air = s.Air ? TAirSource::Load(*s.Air) : nullptr;
    std::shared_ptr<const TMeasuredLog> log =
        s.Measured ? TMeasuredLog::Load(*s.Measured, s.MeasuredColumns, s.MeasuredStart) : nullptr;
    UseAirRamp();
    MeasuredLog.reset();
    TabSheet3->ShowMeasured(nullptr);
    btnFit->setEnabled(false);
    const TInputTexts texts = WithDecimalSeparator(s.Inputs, u'.', Regional.DecimalSeparator);
    for (int f = 0; f < FieldCount; ++f) FieldEdit(f)->setText(ToQ(texts.Text(f)));
    cmbMaterial->setCurrentIndex(s.Inputs.Material);
    if (log) {
        MeasuredPath = *s.Measured;
        MeasuredColumns = s.MeasuredColumns;
        MeasuredStart = s.MeasuredStart;
        LoadMeasuredLog(MeasuredPath, MeasuredColumns, MeasuredStart);
        FieldEdit(fInitialMirrorTemp)->setText(ToQ(texts.Text(fInitialMirrorTemp)));
        FieldEdit(fDuration)->setText(ToQ(texts.Text(fDuration)));
    } else if (air) {
        UseAirSource(air, *s.Air, false);
    }
    RememberScenario(path);
}

void TFrmBrennic::SaveScenario(const QString& path)
{
    WriteScenario(CurrentScenario(), QFile::encodeName(path).toStdString());
    RememberScenario(path);
}

void TFrmBrennic::ChooseScenarioToOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open scenario"), ScenarioPath,
                                                      QStringLiteral("Brennic scenarios (*.brennic);;All files (*)"),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        OpenScenario(path);
}

void TFrmBrennic::ChooseScenarioToSave()
{
    QFileDialog dialog(this, QStringLiteral("Save scenario"), ScenarioPath,
                       QStringLiteral("Brennic scenarios (*.brennic);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("brennic"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveScenario(dialog.selectedFiles().first());
}

QStringList TFrmBrennic::RecentScenarios() const
{
    const QSettings settings = SettingsFile.isEmpty() ? QSettings(QStringLiteral("Brennic"), QStringLiteral("Brennic"))
                                                      : QSettings(SettingsFile, QSettings::IniFormat);
    return settings.value(QStringLiteral("recentScenarios")).toStringList();
}

void TFrmBrennic::RememberScenario(const QString& path)
{
    ScenarioPath = QFileInfo(path).absoluteFilePath();
    setWindowTitle(QStringLiteral("Telescope Brennic \u2014 ") + QFileInfo(path).completeBaseName());
    QStringList recent = RecentScenarios();
    recent.removeAll(ScenarioPath);
    recent.prepend(ScenarioPath);
    while (recent.size() > 8) recent.removeLast();
    QSettings settings = SettingsFile.isEmpty() ? QSettings(QStringLiteral("Brennic"), QStringLiteral("Brennic"))
                                                : QSettings(SettingsFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("recentScenarios"), recent);
    UpdateRecentMenu();
}

void TFrmBrennic::UpdateRecentMenu()
{
    RecentMenu->clear();
    const QStringList recent = RecentScenarios();
    for (const QString& path : recent)
        RecentMenu->addAction(path, this, [this, path] { Guarded([this, path] { OpenScenario(path); }); });
    RecentMenu->setEnabled(!recent.isEmpty());
}

void TFrmBrennic::ExportWorkbook(const QString& path)
{
    if (ResultLines->Count() < 2 || Solver->Running)
        throw EBrennicError("Run the model before exporting its results");
    TWorkbookContent content = WorkbookContent(Record, &Kept, BRENNIC_VERSION);
    content.Inputs = WithDecimalSeparator(Record.Inputs, Regional.DecimalSeparator, u'.');
    WriteWorkbook(QFile::encodeName(path).toStdString(), content);
}

QString TFrmBrennic::PictureSubtitle() const
{
    TInputTexts current = WithDecimalSeparator(InputTexts(), Regional.DecimalSeparator, u'.');
    if (AirSource) {
        // The air fields only show the file's values.
        current.InitialAirTemp = TInputTexts{}.InitialAirTemp;
        current.FinalAirTemp = TInputTexts{}.FinalAirTemp;
    }
    std::string label = DifferenceLabel(current, TInputTexts{}, u'.');
    if (AirSource)
        label += "; air from " + AirSource->Describe();
    return QStringLiteral("Brennic \u2014 ") +
           (label == "same inputs" ? QStringLiteral("default inputs") : QString::fromStdString(label));
}

void TFrmBrennic::SaveChartImage(int page, const QString& path, QSize size)
{
    QWidget* shown = page == EvolutionPage ? static_cast<QWidget*>(TabSheet3) : static_cast<QWidget*>(Chart4);
    SaveChartPicture(shown, PictureSubtitle(), path, size);
}

void TFrmBrennic::ChooseWorkbookFile()
{
    QFileDialog dialog(this, QStringLiteral("Export to spreadsheet"), QString(),
                       QStringLiteral("Spreadsheets (*.xlsx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        ExportWorkbook(dialog.selectedFiles().first());
}

void TFrmBrennic::ChooseChartImageFile()
{
    QFileDialog dialog(this, QStringLiteral("Save chart image"), QString(),
                       QStringLiteral("PNG images (*.png);;SVG drawings (*.svg)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int page = PageControl1->currentIndex();
    QWidget* shown = page == EvolutionPage ? static_cast<QWidget*>(TabSheet3) : static_cast<QWidget*>(Chart4);
    bool ok = false;
    const QString size = QInputDialog::getText(
        this, QStringLiteral("Image size"), QStringLiteral("Width x height in pixels:"), QLineEdit::Normal,
        QStringLiteral("%1x%2").arg(shown->width()).arg(shown->height() + 22), &ok);
    if (!ok)
        return;
    const QStringList parts = size.toLower().split(u'x');
    const int width = parts.value(0).trimmed().toInt(), height = parts.value(1).trimmed().toInt();
    if (parts.size() != 2 || width < 50 || height < 50 || width > 10000 || height > 10000)
        throw EBrennicError("'" + size.toStdString() + "' is not a size from 50x50 to 10000x10000 pixels");
    SaveChartImage(page, dialog.selectedFiles().first(), QSize(width, height));
}

void TFrmBrennic::CopyChart()
{
    const int page = PageControl1->currentIndex();
    QWidget* shown = page == EvolutionPage ? static_cast<QWidget*>(TabSheet3) : static_cast<QWidget*>(Chart4);
    QApplication::clipboard()->setImage(ChartPicture(shown, PictureSubtitle()));
}

void TFrmBrennic::ChooseMeasuredLog()
{
    TLogDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Log())
        return;
    LoadMeasuredLog(dialog.Path->text().toStdString(), dialog.Columns(), dialog.Start->text().trimmed().toStdString());
}

void TFrmBrennic::LoadMeasuredLog(const std::string& path, const TLogColumns& columns, const std::string& start)
{
    auto log = TMeasuredLog::Load(path, columns, start);
    MeasuredLog = log;
    MeasuredPath = path;
    MeasuredColumns = columns;
    MeasuredStart = start;
    edtInitialMirrorTemp->setText(ToQ(FormatFloat(log->FirstMirrorTemperature(), Regional.DecimalSeparator)));
    if (log->Air) {
        UseAirSource(log->Air, {path, columns.Air, start, "", ""}, false);
        edtTimeInterval->setText(ToQ(FormatFloat(log->Span() / 60, Regional.DecimalSeparator)));
        ShowAirFromFile();
    }
    TabSheet3->ShowMeasured(log.get());
    Measured = {};
    TabSheet3->SetMeasuredNote("Measured log loaded: press Run to compare");
    btnFit->setEnabled(true);
}

void TFrmBrennic::CompareWithLog()
{
    if (!MeasuredLog)
        return;
    Measured = Compare(*MeasuredLog, Record.Reports);
    TabSheet3->SetMeasuredNote("Measured log: RMS difference " + FixedText(Measured.Rms, 3, Regional.DecimalSeparator) +
                               " \u00b0C over " + std::to_string(Measured.Points) + " points");
}

TFitResult TFrmBrennic::FitInputs(const std::vector<TFitParameter>& params, const TFitProgress& progress)
{
    if (!MeasuredLog)
        throw EBrennicError("Load a measured log first");
    TBrennicOneD solver;
    ConfigureSolver(InputTexts(), solver);
    return FitToLog(solver, *MeasuredLog, params, progress);
}

void TFrmBrennic::ShowFitDialog()
{
    TFitDialog dialog(
        [this](const std::vector<TFitParameter>& p, const TFitProgress& progress) { return FitInputs(p, progress); },
        Regional.DecimalSeparator, this);
    connect(&dialog, &TFitDialog::useValues, this, [this](const TFitResult& r) { UseFittedValues(r); });
    dialog.exec();
}

void TFrmBrennic::UseFittedValues(const TFitResult& r)
{
    for (std::size_t i = 0; i < r.Parameters.size(); ++i) {
        const int field = r.Parameters[i] == TFitParameter::FrontFilm    ? fFrontFilm
                          : r.Parameters[i] == TFitParameter::BackFilm   ? fBackFilm
                          : r.Parameters[i] == TFitParameter::MirrorTemp ? fInitialMirrorTemp
                                                                         : fFrontRadiation;
        // Rounded to what the data can tell, never beyond four decimals.
        const double v = std::round(r.Values[i] * 1e4) / 1e4;
        FieldEdit(field)->setText(ToQ(FormatFloat(v, Regional.DecimalSeparator)));
    }
}

void TFrmBrennic::btnCancelClick()
{
    if (Solver->Running)
        Solver->Cancel();
}

void TFrmBrennic::btnKeepRunClick()
{
    if (!Solver->Running && ResultLines->Count() > 1 && Kept.Keep(Record))
        TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    UpdateKeepButtons();
}

void TFrmBrennic::btnClearKeptClick()
{
    Kept.Clear();
    TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    UpdateKeepButtons();
}

void TFrmBrennic::SolverStep(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    Record.Add(positions, temperatures, time);
    // The page in front is brought up to date and drawn once per display frame.
    if (!redrawnOnce_ || frameClock_.elapsed() >= 16) {
        RedrawPage(PageControl1->currentIndex());
        redrawnOnce_ = true;
        frameClock_.start();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TFrmBrennic::RedrawPage(int page)
{
    if (page == EvolutionPage)
        TabSheet3->Redraw(Record);
    else if (page == ProfilePage)
        TabSheet1->Redraw(Record);
}

void TFrmBrennic::btnExportCSVClick()
{
    const std::optional<QString> chosen = FileNameProvider ? FileNameProvider() : ChooseExportFile();
    if (!chosen || chosen->isEmpty())
        return;
    ResultLines->SaveToFile(QFile::encodeName(*chosen).toStdString(), ExportWriter);
    lastExportName_ = *chosen;
}

std::optional<QString> TFrmBrennic::ChooseExportFile()
{
    SaveDialog1->selectNameFilter(QStringLiteral("CSV files (*.csv)"));
    if (!lastExportName_.isEmpty())
        SaveDialog1->selectFile(lastExportName_);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return std::nullopt;
    return SaveDialog1->selectedFiles().first();
}

void TFrmBrennic::btnHelpClick()
{
    ShellOpen(HelpAddress(), QString(), QString(), SW_SHOW);
}

}  // namespace brennic
