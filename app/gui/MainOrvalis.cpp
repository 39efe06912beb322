#include "app/gui/MainOrvalis.h"

#include "app/gui/LivePage.h"

#include "app/gui/WindowText.h"

#include "app/core/run/Engine.h"
#include "app/core/results/Readiness.h"
#include "app/core/files/Workbook.h"
#include "app/gui/AirFileDialog.h"
#include "app/gui/ChartImage.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/FileFolders.h"
#include "app/gui/HelpViewer.h"
#include "app/gui/FitDialog.h"
#include "app/gui/LogDialog.h"
#include "app/gui/StripView.h"
#include "app/gui/SweepDialog.h"
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
#include <QMenuBar>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QPointer>
#include <QScreen>
#include <QGuiApplication>
#include <QTimer>
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
const QString BackRadiationHint = QStringLiteral("Usually zero (mirror back doesn't radiate to the sky)");

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
    Worker->Stop();
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
    // The client area below the menu bar holds every control at its place.
    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));

    CreateInputs();
    CreateCommands();

    PageControl1 = new QTabWidget(Client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new TProfilePage;
    TabSheet3 = new TEvolutionPage(StripPalette);
    PageControl1->addTab(TabSheet1, QStringLiteral("Temperate Profile"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Temperature Evolution"));
    TabConditions = CreateConditionsPage();
    PageControl1->addTab(TabConditions, QStringLiteral("Conditions"));
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
    btnSweep = new QPushButton(QStringLiteral("Sweep\u2026"), corner);
    btnSweep->setObjectName(QStringLiteral("btnSweep"));
    btnSweep->setToolTip(QStringLiteral("Run the model over several values of one or two inputs"));
    AirBar = new TAirSourceBar(corner);
    for (QWidget* w : {static_cast<QWidget*>(btnSweep), static_cast<QWidget*>(btnMeasured),
                       static_cast<QWidget*>(btnFit)}) {
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

    StatusBar1 = new TClickStatusBar(Client);
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
    std::vector<QWidget*> order = InputTabOrder();
    // The row beside the page tabs follows the tabs, left to right.
    for (QWidget* w : std::initializer_list<QWidget*>{btnRun, btnCancel, btnExportCSV, btnKeepRun, btnClearKept,
                                                      chkSurfaceMinusAir, PageControl1, btnFile, btnSweep,
                                                      btnMeasured, btnFit, AirBar->Source, btnHelp})
        order.push_back(w);
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    ConnectHandlers();
    ConnectEditTracking();
    ConnectModelView();
    CreateMenuBar();
    ConnectUndo();
    resize(DesignWidth, DesignHeight + MenuBar->sizeHint().height());
    FitToScreen();
    LayoutAnchored();
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
    connect(btnSweep, &QPushButton::clicked, this, [this] { Guarded([this] { ShowSweepDialog(); }); });
    connect(AirBar, &TAirSourceBar::fileRequested, this, [this] { Guarded([this] { ChooseAirFile(); }); });
    connect(TabSheet3, &TEvolutionPage::keptShown, this, [this](int i, bool shown) {
        Kept.SetVisible(std::size_t(i), shown);
        TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    }, Qt::QueuedConnection);
    connect(TabSheet3, &TEvolutionPage::keptRenamed, this, [this](int i, const QString& name) {
        if (std::size_t(i) >= Kept.Runs().size() ||
            name.toStdString() == Kept.Label(std::size_t(i), Record.Inputs, Regional.DecimalSeparator, Units))
            return;
        Kept.Rename(std::size_t(i), name.trimmed().toStdString());
        TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    }, Qt::QueuedConnection);
    connect(TabSheet3, &TEvolutionPage::keptRemoved, this, [this](int i) {
        Kept.Remove(std::size_t(i));
        TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
        UpdateKeepButtons();
    }, Qt::QueuedConnection);
    connect(AirBar, &TAirSourceBar::forecastRequested, this, [this] { Guarded([this] { ChooseForecast(); }); });
    connect(AirBar, &TAirSourceBar::rampChosen, this, [this] { Guarded([this] { UseAirRamp(); }); });
    connect(StatusBar1, &TClickStatusBar::clicked, this, [this] { Guarded([this] { btnHelpClick(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int page) { Guarded([this, page] { RedrawPage(page); }); });
}

void TFrmBrennic::FormCreate()
{
    setAcceptDrops(true);  // a scenario, log or air file dropped on the window opens
    Solver = std::make_unique<TBrennicOneD>();
    Worker = new TRunWorker(this);
    frameTimer_ = new QTimer(this);
    frameTimer_->setInterval(16);  // once per display frame
    connect(frameTimer_, &QTimer::timeout, this, [this] { Guarded([this] { TakeFrame(); }); });
    ResultLines = &Record.Lines;
    StripMap = &Record.Strip;
    BuildStripPalette();
    ImgView321->SetSource(StripMap);
    PageControl1->setCurrentIndex(ProfilePage);

    // Hints stay up for 20 s.
    ReadRegionalSettings();
    for (QLineEdit* e : {edtFrontFanFlow, edtBackFanFlow}) e->setToolTip(FilmHint);
    edtBackRadiation->setToolTip(BackRadiationHint);
    for (QLineEdit* e : {edtInitialAirTemp, edtFinalAirTemp}) e->setToolTip(AirHint());
    for (QLineEdit* e :
         {edtFrontFanFlow, edtBackFanFlow, edtFrontRadiation, edtBackRadiation, edtInitialAirTemp, edtFinalAirTemp})
        e->setToolTipDuration(20000);

    cmbMaterial->clear();
    for (const TGlassProperties& m : GlassMaterials)
        cmbMaterial->addItem(QString::fromUtf8(m.Name.data(), qsizetype(m.Name.size())));
    cmbMaterial->setCurrentIndex(0);

    // The decimal defaults in the user's own form.
    for (int field = 0; field < FieldCount; ++field)
        if (!InputFields[field].Choices)
            SetFieldText(field, ToQ(DefaultText(field, Regional.DecimalSeparator)));
    edtThickness->setFocus();
}

TLivePage* TFrmBrennic::ShowLiveNight()
{
    // A window of its own beside the main one: a night is long, and its
    // chart wants room (within the screen, whatever its scale).
    constexpr int LiveWidth = 1000, LiveHeight = 680;
    if (!TabLive) {
        TabLive = new TLivePage([this] { return CurrentSource(); }, [this] { return AirSource; },
                                Regional.DecimalSeparator, this);
        TabLive->SetUnits(Units);
        TabLive->setWindowFlag(Qt::Window);
        TabLive->setWindowTitle(QStringLiteral("Brennic \u2014 live night"));
        QSize size(LiveWidth, LiveHeight);
        if (const QScreen* screen = this->screen()) {
            constexpr int TitleBar = 40;  // the frame the window manager adds
            size = size.boundedTo(screen->availableSize() - QSize(0, TitleBar));
        }
        TabLive->resize(size);
        TabLive->show();
        // Placed once shown, within the screen.
        if (const QScreen* screen = this->screen())
            TabLive->move(screen->availableGeometry().center() - TabLive->rect().center());
    }
    TabLive->show();
    TabLive->raise();
    TabLive->activateWindow();
    return TabLive;
}

void TFrmBrennic::FormDestroy()
{
    ResultLines = nullptr;
    StripMap = nullptr;
}

void TFrmBrennic::ReadRegionalSettings()
{
    Regional = MakeRegionalSettings(SystemDecimalSeparator(), SystemListSeparator());
    edtFrontRadiation->setToolTip(QStringLiteral("Use ") + ToQ(FormatFloat(0.04, Regional.DecimalSeparator)) +
                                  QStringLiteral(" for an optical surface with aluminum coating"));
    TabSheet1->SetDecimalSeparator(Regional.DecimalSeparator);
    TabSheet3->SetDecimalSeparator(Regional.DecimalSeparator);
    if (TabLive)
        TabLive->SetDecimalSeparator(Regional.DecimalSeparator);
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

void TFrmBrennic::FitToScreen()
{
    // The design size, or less where the screen (at its scale) is smaller:
    // the window never opens with its fields off-screen.
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    QSize most(DesignWidth, DesignHeight + (MenuBar ? MenuBar->sizeHint().height() : 0));
    if (s) {
        constexpr int TitleBar = 40;  // the frame the window manager adds
        most = most.boundedTo(s->availableSize() - QSize(0, TitleBar));
    }
    setMinimumSize(most.expandedTo(QSize(320, 240)));
    if (width() > most.width() || height() > most.height())
        resize(size().boundedTo(most));
}

void TFrmBrennic::LayoutAnchored()
{
    const int bar = MenuBar ? MenuBar->sizeHint().height() : 0;
    if (MenuBar)
        MenuBar->setGeometry(0, 0, width(), bar);
    Client->setGeometry(0, bar, width(), std::max(0, height() - bar));
    const int w = Client->width(), h = Client->height();
    const int top = InputsShown() ? 184 : 8;
    PageControl1->setGeometry(8, top, std::max(0, w - 16), std::max(0, h - top - (DesignHeight - 646)));
    StatusBar1->setGeometry(0, h - 19, w, 19);
}

bool TFrmBrennic::InputsShown() const
{
    return !InputsAction || InputsAction->isChecked();
}

void TFrmBrennic::ShowInputs(bool shown)
{
    if (InputsAction->isChecked() != shown) {
        InputsAction->setChecked(shown);  // comes back here through toggled
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{grpMirror, grpHeatTransfer, grpSimulation, btnRun, btnCancel,
                                                      btnExportCSV, btnKeepRun, btnClearKept, chkSurfaceMinusAir,
                                                      btnHelp})
        w->setVisible(shown);
    LayoutAnchored();
    if (!shown && (!focusWidget() || !focusWidget()->isVisible()))
        PageControl1->setFocus(Qt::OtherFocusReason);  // the keys still reach the window
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
            Guarded([&] {
                const auto* key = static_cast<QKeyEvent*>(event);
                // Undo and redo are the window's, across the fields, even
                // where a field would undo its own text.
                if (key->matches(QKeySequence::Undo)) {
                    UndoInputs();
                    handled = true;
                } else if (key->matches(QKeySequence::Redo) ||
                           key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
                    RedoInputs();
                    handled = true;
                } else {
                    handled = RunKeys(watched, key) || FormKeyDown(key->key());
                }
            });
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
    if (Running()) {
        // The run is cancelled; the window closes when it has ended.
        closeRequested_ = true;
        Worker->Cancel();
        e->ignore();
        return;
    }
    e->accept();
}

void TFrmBrennic::btnExportCSVClick()
{
    const std::optional<QString> chosen = FileNameProvider ? FileNameProvider() : ChooseExportFile();
    if (!chosen || chosen->isEmpty())
        return;
    ResultLines->SaveToFile(QFile::encodeName(*chosen).toStdString(), ExportWriter);
    lastExportName_ = *chosen;
    StatusBar1->ShowMessage(QStringLiteral("Saved to ") + *chosen);
}

std::optional<QString> TFrmBrennic::ChooseExportFile()
{
    SaveDialog1->selectNameFilter(QStringLiteral("CSV files (*.csv)"));
    if (!lastExportName_.isEmpty())
        SaveDialog1->selectFile(lastExportName_);
    else if (!DialogStart().isEmpty())
        SaveDialog1->setDirectory(DialogStart());
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return std::nullopt;
    RememberFolder(SaveDialog1->selectedFiles().first());
    return SaveDialog1->selectedFiles().first();
}

void TFrmBrennic::btnHelpClick()
{
    QPointer<TFrmBrennic> self(this);
    ShellOpen(HelpAddress(), QString(), QString(), SW_SHOW, [self] {
        if (self)
            self->ShowHelpViewer();
    });
}

void TFrmBrennic::ShowHelpViewer()
{
    if (!HelpViewer)
        HelpViewer = new THelpViewer(QUrl(HelpAddress()), this);
    HelpViewer->show();
    HelpViewer->raise();
    HelpViewer->activateWindow();
}

}  // namespace brennic
