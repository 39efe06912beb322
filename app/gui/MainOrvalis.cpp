#include "MainOrvalis.h"

#include "ErrorReport.h"
#include "LibPlatform.h"
#include "LibStandard.h"
#include "NumberText.h"
#include "StripView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGraphicsLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>
#include <stdexcept>

namespace brennic {

namespace {

// Design sizes the anchors are measured from.
constexpr int DesignWidth = 855;
constexpr int DesignHeight = 671;
constexpr int DesignPageWidth = 831;
constexpr int DesignPageHeight = 434;

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

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int left, int top, QLabel* caption)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, 61, 21);
    caption->setBuddy(edit);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int left, bool enabled)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 149, 102, 25);
    button->setAutoDefault(false);
    button->setEnabled(enabled);
    return button;
}

QLineSeries* MakeSeries(QChart* chart, const char* name, const QString& title)
{
    auto* series = new QLineSeries(chart);
    series->setObjectName(QString::fromLatin1(name));
    series->setName(title);
    chart->addSeries(series);
    return series;
}

void AttachAxes(QChart* chart)
{
    auto* x = new QValueAxis(chart);
    auto* y = new QValueAxis(chart);
    x->setObjectName(QStringLiteral("BottomAxis"));
    y->setObjectName(QStringLiteral("LeftAxis"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

QValueAxis* Axis(QChartView* view, Qt::Orientation o)
{
    const auto axes = view->chart()->axes(o);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
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

TClickStatusBar::TClickStatusBar(QWidget* parent) : QWidget(parent), panel_(new QLabel(this))
{
    panel_->setObjectName(QStringLiteral("StatusBarPanel"));
    panel_->setContentsMargins(3, 0, 3, 0);
    setCursor(Qt::PointingHandCursor);
}

void TClickStatusBar::mouseReleaseEvent(QMouseEvent* e)
{
    QWidget::mouseReleaseEvent(e);
    if (rect().contains(e->position().toPoint()))
        emit clicked();
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

    grpMirror = new QGroupBox(QStringLiteral(" Mirror Properties "), this);
    grpMirror->setObjectName(QStringLiteral("grpMirror"));
    grpMirror->setGeometry(8, 8, 256, 129);
    grpHeatTransfer = new QGroupBox(QStringLiteral(" Heat Transfer Properties "), this);
    grpHeatTransfer->setObjectName(QStringLiteral("grpHeatTransfer"));
    grpHeatTransfer->setGeometry(270, 8, 256, 129);
    grpSimulation = new QGroupBox(QStringLiteral(" Simulation "), this);
    grpSimulation->setObjectName(QStringLiteral("grpSimulation"));
    grpSimulation->setGeometry(532, 8, 256, 129);

    const QString degC = QStringLiteral("\u00b0C");
    const QString film = QStringLiteral("W/m\u00b2K");

    QGroupBox* g = grpMirror;
    Label1 = MakeLabel(g, "Label1", QStringLiteral("Mirror Thickness:"), 16, 19);
    edtThickness = MakeEdit(g, "edtThickness", QStringLiteral("50.8"), 152, 16, Label1);
    Label7 = MakeLabel(g, "Label7", QStringLiteral("mm"), 219, 19);
    Label2 = MakeLabel(g, "Label2", QStringLiteral("Initial Mirror Temperature:"), 16, 46);
    edtInitialMirrorTemp = MakeEdit(g, "edtInitialMirrorTemp", QStringLiteral("20"), 152, 43, Label2);
    Label8 = MakeLabel(g, "Label8", degC, 219, 46);
    Label13 = MakeLabel(g, "Label13", QStringLiteral("Mirror Material:"), 16, 73);
    cmbMaterial = new QComboBox(g);
    cmbMaterial->setObjectName(QStringLiteral("cmbMaterial"));
    cmbMaterial->setEditable(false);
    cmbMaterial->setGeometry(152, 70, 83, 21);
    Label13->setBuddy(cmbMaterial);
    lbl1 = MakeLabel(g, "lbl1", QStringLiteral("Mirror Elements:"), 16, 99);
    edtElementCount = MakeEdit(g, "edtElementCount", QStringLiteral("50"), 152, 96, lbl1);

    g = grpHeatTransfer;
    lbl5 = MakeLabel(g, "lbl5", QStringLiteral("Front Film Coefficient:"), 16, 19);
    edtFrontFanFlow = MakeEdit(g, "edtFrontFanFlow", QStringLiteral("10"), 132, 16, lbl5);
    lbl6 = MakeLabel(g, "lbl6", film, 199, 19);
    lbl2 = MakeLabel(g, "lbl2", QStringLiteral("Front Radiation:"), 16, 46);
    edtFrontRadiation = MakeEdit(g, "edtFrontRadiation", QStringLiteral("0.04"), 132, 43, lbl2);
    lbl8 = MakeLabel(g, "lbl8", QStringLiteral("Back Film Coefficient:"), 16, 73);
    edtBackFanFlow = MakeEdit(g, "edtBackFanFlow", QStringLiteral("10"), 132, 70, lbl8);
    lbl9 = MakeLabel(g, "lbl9", film, 199, 73);
    lbl3 = MakeLabel(g, "lbl3", QStringLiteral("Back Radiation:"), 16, 100);
    edtBackRadiation = MakeEdit(g, "edtBackRadiation", QStringLiteral("0"), 132, 97, lbl3);

    g = grpSimulation;
    Label3 = MakeLabel(g, "Label3", QStringLiteral("Initial Air Temperature:"), 16, 19);
    edtInitialAirTemp = MakeEdit(g, "edtInitialAirTemp", QStringLiteral("10"), 133, 16, Label3);
    Label9 = MakeLabel(g, "Label9", degC, 199, 19);
    Label4 = MakeLabel(g, "Label4", QStringLiteral("Final Air Temperature:"), 16, 46);
    edtFinalAirTemp = MakeEdit(g, "edtFinalAirTemp", QStringLiteral("10"), 133, 43, Label4);
    Label10 = MakeLabel(g, "Label10", degC, 199, 46);
    Label5 = MakeLabel(g, "Label5", QStringLiteral("Simulation Duration:"), 16, 73);
    edtTimeInterval = MakeEdit(g, "edtTimeInterval", QStringLiteral("120"), 133, 70, Label5);
    Label11 = MakeLabel(g, "Label11", QStringLiteral("min"), 200, 73);
    Label6 = MakeLabel(g, "Label6", QStringLiteral("Time Step:"), 16, 101);
    edtTimeStep = MakeEdit(g, "edtTimeStep", QStringLiteral("10"), 133, 97, Label6);
    Label12 = MakeLabel(g, "Label12", QStringLiteral("s"), 200, 101);

    btnRun = MakeButton(this, "btnRun", QStringLiteral("Run"), 28, true);
    btnCancel = MakeButton(this, "btnCancel", QStringLiteral("Cancel"), 140, false);
    btnExportCSV = MakeButton(this, "btnExportCSV", QStringLiteral("Export to CSV"), 252, false);
    btnHelp = MakeButton(this, "btnHelp", QStringLiteral("On-line Help (F1)"), 665, true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Temperate Profile"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Temperature Evolution"));

    // Profile chart.
    Chart4 = new TZoomChartView(new QChart, TabSheet1);
    Chart4->setObjectName(QStringLiteral("Chart4"));
    StyleChart(Chart4, QStringLiteral("Temperature Profile"), QMargins(10, 5, 10, 30));
    Chart4->chart()->legend()->hide();
    LineSeries3 = MakeSeries(Chart4->chart(), "LineSeries3", QStringLiteral("Temperature Profile"));
    AttachAxes(Chart4->chart());
    profile_ = TCurve(LineSeries3, QColor(255, 0, 0));
    StaticText1 = new QLabel(QStringLiteral("Mirror Front (Optical Surface)"), Chart4);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText2 = new QLabel(QStringLiteral("Mirror Back"), Chart4);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    for (QLabel* t : {StaticText1, StaticText2}) {
        t->setFixedHeight(17);
        t->adjustSize();
        t->setAttribute(Qt::WA_TranslucentBackground);
    }

    // Evolution chart and the strip below its time axis.
    Chart1 = new TZoomChartView(new QChart, TabSheet3);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    StyleChart(Chart1, QStringLiteral("Temperature Evolution"), QMargins(10, 5, 10, 60));
    QChart* c1 = Chart1->chart();
    LineSeries1 = MakeSeries(c1, "LineSeries1", QStringLiteral("Core Temp."));
    Series2 = MakeSeries(c1, "Series2", QStringLiteral("Surface Temp."));
    Series3 = MakeSeries(c1, "Series3", QStringLiteral("Back Temp."));
    Series1 = MakeSeries(c1, "Series1", QStringLiteral("Air Temp."));
    AttachAxes(c1);
    core_ = TCurve(LineSeries1, QColor(255, 0, 0));
    surface_ = TCurve(Series2, QColor(0, 0, 255));
    back_ = TCurve(Series3, QColor(0, 255, 0));
    air_ = TCurve(Series1, QColor(0, 128, 0));
    QLegend* legend = c1->legend();
    legend->detachFromChart();
    legend->setAlignment(Qt::AlignRight);
    legend->setBackgroundVisible(true);
    QLinearGradient legendFill(0, 0, 0, 1);
    legendFill.setCoordinateMode(QGradient::ObjectBoundingMode);
    legendFill.setColorAt(0, Qt::white);
    legendFill.setColorAt(1, QColor(214, 214, 214));
    legend->setBrush(legendFill);
    legend->setPen(QPen(QColor(128, 128, 128)));
    ImgView321 = new TImgView32(TabSheet3);
    ImgView321->setObjectName(QStringLiteral("ImgView321"));

    StatusBar1 = new TClickStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    QFont statusFont = font();
    statusFont.setPixelSize(12);
    StatusBar1->Panel()->setFont(statusFont);
    StatusBar1->Panel()->setText(QStringLiteral(
        "\u00a9 2026 The Brennic authors. Mirror cooling predictions by Brennic \u2014 help: %1")
                                     .arg(HelpAddress()));

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
    QWidget* order[] = {edtThickness,    edtInitialMirrorTemp, cmbMaterial,       edtElementCount,
                        edtFrontFanFlow, edtFrontRadiation,    edtBackFanFlow,    edtBackRadiation,
                        edtInitialAirTemp, edtFinalAirTemp,    edtTimeInterval,   edtTimeStep,
                        btnRun,          btnCancel,            btnExportCSV,      PageControl1,
                        btnHelp};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    StatusBar1->setFocusPolicy(Qt::NoFocus);

    connect(btnRun, &QPushButton::clicked, this, [this] { Guarded([this] { btnRunClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { Guarded([this] { btnCancelClick(); }); });
    connect(btnExportCSV, &QPushButton::clicked, this, [this] { Guarded([this] { btnExportCSVClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { Guarded([this] { btnHelpClick(); }); });
    connect(StatusBar1, &TClickStatusBar::clicked, this, [this] { Guarded([this] { btnHelpClick(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        Guarded([this, page] { RedrawPage(page); });
    });
    // A zoom or a new plot size re-decimates the curves for the new view.
    auto onView = [this] { Guarded([this] { UpdateCurveViews(); }); };
    // These only re-decimate and place things; none of them sets an axis, so
    // no axis change can come back to its own handler.
    connect(Axis(Chart1, Qt::Horizontal), &QValueAxis::rangeChanged, this, onView);
    connect(c1, &QChart::plotAreaChanged, this, onView);
    connect(c1, &QChart::plotAreaChanged, this, [this] { PlaceLegend(); });
    auto onProfileView = [this] { Guarded([this] { UpdateProfileView(); }); };
    connect(Chart4->chart(), &QChart::plotAreaChanged, this, onProfileView);
    connect(Chart4, &TZoomChartView::zoomChanged, this, onProfileView);

    LayoutAnchored();
}

void TFrmBrennic::FormCreate()
{
    Solver = std::make_unique<TBrennicOneD>();
    ResultLines = std::make_unique<TEnhStringList>();
    StripMap = std::make_unique<TByteMap>();
    BuildStripPalette();
    ImgView321->SetSource(StripMap.get(), &StripPalette);
    PageControl1->setCurrentIndex(0);

    // Hints stay up for 20 s.
    ReadRegionalSettings();
    for (QLineEdit* e : {edtFrontFanFlow, edtBackFanFlow}) e->setToolTip(FilmHint);
    edtBackRadiation->setToolTip(BackRadiationHint);
    for (QLineEdit* e : {edtInitialAirTemp, edtFinalAirTemp}) e->setToolTip(AirHint);
    for (QLineEdit* e : {edtFrontFanFlow, edtBackFanFlow, edtFrontRadiation, edtBackRadiation, edtInitialAirTemp,
                         edtFinalAirTemp})
        e->setToolTipDuration(20000);

    cmbMaterial->clear();
    for (const TGlassProperties& m : GlassMaterials)
        cmbMaterial->addItem(QString::fromUtf8(m.Name.data(), qsizetype(m.Name.size())));
    cmbMaterial->setCurrentIndex(0);

    edtThickness->setText(ToQ(FormatFloat(50.8, Regional.DecimalSeparator)));
    edtFrontRadiation->setText(ToQ(FormatFloat(0.04, Regional.DecimalSeparator)));
    edtThickness->setFocus();
}

void TFrmBrennic::FormDestroy()
{
    StripMap.reset();
    ResultLines.reset();
}

void TFrmBrennic::ReadRegionalSettings()
{
    Regional = MakeRegionalSettings(SystemDecimalSeparator(), SystemListSeparator());
    edtFrontRadiation->setToolTip(QStringLiteral("Use ") + ToQ(FormatFloat(0.04, Regional.DecimalSeparator)) +
                                  QStringLiteral(" for an optical surface with aluminum coating"));
}

void TFrmBrennic::BuildStripPalette()
{
    StripPalette = MakeStripPalette();
}

const TCurve& TFrmBrennic::Curve(QLineSeries* series) const
{
    for (const TCurve* c : {&core_, &air_, &surface_, &back_, &profile_})
        if (c->Series() == series)
            return *c;
    throw std::invalid_argument("not a series of this window");
}

void TFrmBrennic::LayoutAnchored()
{
    const int w = width(), h = height();
    PageControl1->setGeometry(8, 184, std::max(0, w - 16), std::max(0, h - 184 - (DesignHeight - 646)));
    StatusBar1->setGeometry(0, h - 19, w, 19);
    StatusBar1->Panel()->setGeometry(0, 0, w, 19);

    const QSize page = PageControl1->currentWidget() ? PageControl1->currentWidget()->size() : QSize();
    const int pw = std::max(page.width(), 1), ph = std::max(page.height(), 1);
    Chart4->setGeometry(0, 0, pw, ph);
    Chart1->setGeometry(0, 0, pw - (DesignPageWidth - 831), ph - (DesignPageHeight - 433));
    ImgView321->setGeometry(34, ph - (DesignPageHeight - 374), std::max(1, pw - (DesignPageWidth - 787)), 57);
    StaticText1->move(16, ph - (DesignPageHeight - 403));
    StaticText2->move(pw - (DesignPageWidth - 770), ph - (DesignPageHeight - 403));
}

void TFrmBrennic::PlaceLegend()
{
    // The legend floats over the plot at the right, 7 % from the top.
    QChart* chart = Chart1->chart();
    QLegend* legend = chart->legend();
    // Sized for its items stacked one above the other.
    const QFontMetrics metrics(legend->font());
    int textWidth = 0;
    for (QAbstractSeries* s : chart->series()) textWidth = std::max(textWidth, metrics.horizontalAdvance(s->name()));
    const QSizeF size(textWidth + 40, chart->series().size() * (metrics.height() + 9) + 16);
    const QRectF plot = chart->plotArea();
    legend->setGeometry(QRectF(plot.right() - size.width() - 6, chart->size().height() * 0.07, size.width(),
                               size.height()));
    legend->update();
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
    if (event->type() == QEvent::Resize && (watched == TabSheet1 || watched == TabSheet3))
        LayoutAnchored();
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
}

void TFrmBrennic::btnRunClick()
{
    const TInputTexts texts{FromQ(edtThickness->text()),      FromQ(edtElementCount->text()),
                            FromQ(edtInitialMirrorTemp->text()), FromQ(edtInitialAirTemp->text()),
                            FromQ(edtFinalAirTemp->text()),   FromQ(edtTimeInterval->text()),
                            FromQ(edtTimeStep->text()),       FromQ(edtFrontFanFlow->text()),
                            FromQ(edtBackFanFlow->text()),    FromQ(edtFrontRadiation->text()),
                            FromQ(edtBackRadiation->text()),  cmbMaterial->currentIndex()};
    ApplyInputs(texts, Regional.DecimalSeparator, *Solver);
    // Everything a run needs is checked before anything of the last run goes.
    const TRunPlan plan = PlanRun(*Solver, Regional.DecimalSeparator, &texts);

    Solver->OnStep = [this](std::span<const double> p, std::span<const double> t, double time) {
        SolverStep(p, t, time);
    };
    Chart1->SetHome({0, Solver->Duration / 60, plan.TempMin, plan.TempMax}, true);
    for (TCurve* c : {&core_, &air_, &surface_, &back_}) c->Clear();
    UpdateCurveViews();
    TAxisRanges profileHome = Chart4->Home();
    profileHome.yMin = plan.TempMin;
    profileHome.yMax = plan.TempMax;
    Chart4->SetHome(profileHome, true);
    ResultLines->Clear();
    ResultLines->Add(ResultHeader(Regional));
    StripMap->SetSize(plan.StripWidth, plan.StripHeight);
    StripMap->Clear(0);
    ImgView321->Rebuild();
    SetButtonsRunning(true);
    redrawnOnce_ = false;

    struct Restore {
        TFrmBrennic* w;
        ~Restore() { w->SetButtonsRunning(false); }
    };
    {
        Restore restore{this};
        Solver->Execute();
        RedrawPage(1);
        RedrawPage(0);
    }
    emit RunFinished();
    if (closeRequested_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TFrmBrennic::btnCancelClick()
{
    if (Solver->Running)
        Solver->Cancel();
}

void TFrmBrennic::SolverStep(std::span<const double> positions, std::span<const double> temperatures, double time)
{
    const TStepValues v = StepValues(temperatures, time);
    const double minutes = time / 60;
    core_.Append(minutes, v.Core);
    air_.Append(minutes, v.Air);
    surface_.Append(minutes, v.Surface);
    back_.Append(minutes, v.Back);

    std::u16string row;
    row.reserve(80);
    AppendResultRow(row, v, Regional);
    ResultLines->Add(row);

    std::u16string title = u"Temperature Profile - Time ";
    AppendFloat(title, time, Regional.DecimalSeparator);
    title += u" sec";
    profileTitle_ = ToQ(title);
    const std::size_t n = temperatures.size() - 2;
    std::vector<TPoint> profile(n);
    for (std::size_t k = 1; k <= n; ++k) profile[k - 1] = {positions[k] * 1000, temperatures[k]};
    profile_.Assign(std::move(profile));

    // One strip column per report; a step beyond the strip's last column (the
    // period not a whole number of steps) is not drawn.
    const std::int64_t column = StripColumn(time, Solver->TimeStep);
    if (StripMap->Contains(column, 0)) {
        const auto c = static_cast<std::int32_t>(column);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto row = static_cast<std::int32_t>(k - 1);
            const std::uint8_t old = StripMap->Value(c, row);
            StripMap->SetValue(c, row, StripColorIndex(std::fabs(temperatures[k] - v.Air) / 6));
            ImgView321->CellChanged(c, row, old);
        }
    }

    // The page in front is redrawn at most once per display frame.
    if (!redrawnOnce_ || frameClock_.elapsed() >= 16) {
        RedrawPage(PageControl1->currentIndex());
        redrawnOnce_ = true;
        frameClock_.start();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TFrmBrennic::SyncEvolution()
{
    for (TCurve* c : {&core_, &air_, &surface_, &back_}) c->Sync();
}

void TFrmBrennic::SyncProfile()
{
    if (Chart4->chart()->title() != profileTitle_ && !profileTitle_.isEmpty())
        Chart4->chart()->setTitle(profileTitle_);
    if (!profile_.Points().empty()) {
        // The position axis follows the profile, front to back element, unless
        // the user has zoomed in.
        const double first = profile_.Points().front().x, last = profile_.Points().back().x;
        TAxisRanges home = Chart4->Home();
        home.xMin = first < last ? first : first - 1;
        home.xMax = first < last ? last : last + 1;
        if (!(home == Chart4->Home()))
            Chart4->SetHome(home, false);
    }
    UpdateProfileView();
}

void TFrmBrennic::UpdateProfileView()
{
    const TAxisRanges shown = Chart4->Shown();
    profile_.SetView(shown.xMin, shown.xMax, std::max(1, int(Chart4->chart()->plotArea().width())));
    profile_.Sync();
}

void TFrmBrennic::UpdateCurveViews()
{
    QValueAxis* x = Axis(Chart1, Qt::Horizontal);
    // A chart not yet shown has no plot area laid out: take the view's width.
    const int plot = int(Chart1->chart()->plotArea().width());
    const int pixels = std::max({1, plot, Chart1->isVisible() ? 0 : Chart1->width()});
    for (TCurve* c : {&core_, &air_, &surface_, &back_}) c->SetView(x->min(), x->max(), pixels);
    SyncEvolution();
}

void TFrmBrennic::RedrawPage(int page)
{
    if (page == 1) {
        SyncEvolution();
        if (Chart1->isVisible()) {
            Chart1->viewport()->repaint();
            ImgView321->repaint();
        }
    } else if (page == 0) {
        SyncProfile();
        if (Chart4->isVisible())
            Chart4->viewport()->repaint();
    }
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
