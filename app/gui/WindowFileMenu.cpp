// The window's File menu: scenarios, the spreadsheet and chart pictures.
#include "app/gui/MainOrvalis.h"
#include "app/gui/FileFolders.h"
#include "app/gui/StatusBar.h"

#include "app/core/run/Engine.h"

#include "app/core/results/Readiness.h"
#include "app/core/files/Workbook.h"
#include "app/gui/ChartImage.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/WindowText.h"
#include "support/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

namespace brennic {

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
        menu->addAction(QStringLiteral("&Open scenario\u2026"), this, guarded(&TFrmBrennic::ChooseScenarioToOpen));
    open->setShortcut(QKeySequence::Open);
    QAction* save =
        menu->addAction(QStringLiteral("&Save scenario\u2026"), this, guarded(&TFrmBrennic::ChooseScenarioToSave));
    save->setShortcut(QKeySequence::Save);
    RecentMenu = menu->addMenu(QStringLiteral("&Recent scenarios"));
    menu->addSeparator();
    QAction* csv = menu->addAction(QStringLiteral("Export to &CSV\u2026"), this, [this] {
        if (btnExportCSV->isEnabled())
            btnExportCSV->click();
    });
    menu->addAction(QStringLiteral("Export to s&preadsheet\u2026"), this, guarded(&TFrmBrennic::ChooseWorkbookFile));
    menu->addAction(QStringLiteral("Save chart &image\u2026"), this, guarded(&TFrmBrennic::ChooseChartImageFile));
    menu->addAction(QStringLiteral("Cop&y chart to clipboard"), this, guarded(&TFrmBrennic::CopyChart));
    menu->addSeparator();
    QAction* live = menu->addAction(QStringLiteral("&Live night\u2026"), this, [this] { ShowLiveNight(); });
    live->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    menu->addSeparator();
    QuitAction = menu->addAction(QStringLiteral("&Quit"), this, [this] { close(); });
    QuitAction->setShortcut(QKeySequence::Quit);
    // Export to CSV as the button has it: only with rows to export.
    connect(menu, &QMenu::aboutToShow, this, [this, csv] { csv->setEnabled(btnExportCSV->isEnabled()); });
    FileMenu = menu;
    for (QAction* a : {open, save, live, QuitAction}) {
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
    for (const TKeptRun& run : Kept.Runs())
        s.Kept.push_back({run.Name, WithDecimalSeparator(run.Inputs, Regional.DecimalSeparator, u'.'), run.Air,
                          run.AirHash, run.Reports, !run.Air});
    return s;
}

void TFrmBrennic::OpenScenario(const QString& path)
{
    const TScenario s = ReadScenario(QFile::encodeName(path).toStdString());
    // Everything is read before anything changes.
    std::shared_ptr<const TAirSource> air = s.Air ? TAirSource::Load(*s.Air) : nullptr;
    std::shared_ptr<const TMeasuredLog> log =
        s.Measured ? TMeasuredLog::Load(*s.Measured, s.MeasuredColumns, s.MeasuredStart) : nullptr;
    NameNextInputStep("Open scenario");
    Kept.Clear();
    TabSheet3->ShowKept(Kept, Record, Regional.DecimalSeparator);
    UpdateKeepButtons();
    UseAirRamp();
    MeasuredLog.reset();
    TabSheet3->ShowMeasured(nullptr);
    btnFit->setEnabled(false);
    RemoveLogAction->setEnabled(false);
    const TInputTexts texts = WithDecimalSeparator(s.Inputs, u'.', Regional.DecimalSeparator);
    for (int f = 0; f < FieldCount; ++f) SetFieldText(f, ToQ(texts.Text(f)));
    cmbMaterial->setCurrentIndex(s.Inputs.Material);
    if (log) {
        MeasuredPath = *s.Measured;
        MeasuredColumns = s.MeasuredColumns;
        MeasuredStart = s.MeasuredStart;
        LoadMeasuredLog(MeasuredPath, MeasuredColumns, MeasuredStart, false);
        SetFieldText(fInitialMirrorTemp, ToQ(texts.Text(fInitialMirrorTemp)));
        SetFieldText(fDuration, ToQ(texts.Text(fDuration)));
    } else if (air) {
        UseAirSource(air, *s.Air, false);
    }
    RememberScenario(path);
    // The kept runs are computed again beside the window, each with its own air.
    ComputeKeptRuns(s, log ? log->Air : air, log ? std::optional<TAirFileChoice>(TAirFileChoice{
                                                       *s.Measured, s.MeasuredColumns.Air, s.MeasuredStart,
                                                       "", "", "", "", ""})
                                                 : s.Air);
}

void TFrmBrennic::SaveScenario(const QString& path)
{
    WriteScenario(CurrentScenario(), QFile::encodeName(path).toStdString());
    RememberScenario(path);
    StatusBar1->ShowMessage(QStringLiteral("Saved to ") + path);
}

void TFrmBrennic::ChooseScenarioToOpen()
{
    if (!ConfirmDiscard())
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open scenario"), DialogStart(ScenarioPath),
                                                      QStringLiteral("Brennic scenarios (*.brennic);;All files (*)"),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) {
        RememberFolder(path);
        OpenScenario(path);
    }
}

void TFrmBrennic::ChooseScenarioToSave()
{
    QFileDialog dialog(this, QStringLiteral("Save scenario"), DialogStart(ScenarioPath),
                       QStringLiteral("Brennic scenarios (*.brennic);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("brennic"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        RememberFolder(dialog.selectedFiles().first());
        SaveScenario(dialog.selectedFiles().first());
    }
}

std::unique_ptr<QSettings> TFrmBrennic::OpenSettings() const
{
    return SettingsFile.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Brennic"), QStringLiteral("Brennic"))
                                  : std::make_unique<QSettings>(SettingsFile, QSettings::IniFormat);
}

QStringList TFrmBrennic::RecentScenarios() const
{
    return OpenSettings()->value(QStringLiteral("recentScenarios")).toStringList();
}

void TFrmBrennic::RememberScenario(const QString& path)
{
    ScenarioPath = QFileInfo(path).absoluteFilePath();
    MarkClean(QStringLiteral("Telescope Brennic \u2014 ") + QFileInfo(path).completeBaseName());
    QStringList recent = RecentScenarios();
    recent.removeAll(ScenarioPath);
    recent.prepend(ScenarioPath);
    while (recent.size() > 8) recent.removeLast();
    OpenSettings()->setValue(QStringLiteral("recentScenarios"), recent);
    UpdateRecentMenu();
}

void TFrmBrennic::UpdateRecentMenu()
{
    RecentMenu->clear();
    const QStringList recent = RecentScenarios();
    for (const QString& path : recent)
        RecentMenu->addAction(path, this, [this, path] {
            Guarded([this, path] {
                if (ConfirmDiscard())
                    OpenScenario(path);
            });
        });
    RecentMenu->setEnabled(!recent.isEmpty());
}

void TFrmBrennic::ExportWorkbook(const QString& path)
{
    if (ResultLines->Count() < 2 || Running())
        throw EBrennicError("Run the model before exporting its results");
    TWorkbookContent content = WorkbookContent(Record, &Kept, BRENNIC_VERSION);
    content.Inputs = WithDecimalSeparator(Record.Inputs, Regional.DecimalSeparator, u'.');
    if (MeasuredLog && Measured.Points > 0)
        content.Measured = Measured;
    if (MeasuredLog)
        content.Fit = TakenFit;
    WriteWorkbook(QFile::encodeName(path).toStdString(), content);
    StatusBar1->ShowMessage(QStringLiteral("Saved to ") + path);
}

QString TFrmBrennic::PictureSubtitle() const
{
    TInputTexts current = WithDecimalSeparator(InputTexts(), Regional.DecimalSeparator, u'.');
    if (AirSource) {
        // The air fields only show the file's values.
        current.Text(fInitialAirTemp) = TInputTexts{}.Text(fInitialAirTemp);
        current.Text(fFinalAirTemp) = TInputTexts{}.Text(fFinalAirTemp);
    }
    std::string label = DifferenceLabel(current, TInputTexts{}, u'.', Units);  // as the chart shows them
    if (AirSource)
        label += "; air from " + AirSource->Describe();
    return QStringLiteral("Brennic \u2014 ") +
           (label == "same inputs" ? QStringLiteral("default inputs") : QString::fromStdString(label));
}

QWidget* TFrmBrennic::PictureWidget(int page) const
{
    // The evolution page with its strip, or the profile chart.
    return page == EvolutionPage ? static_cast<QWidget*>(TabSheet3) : static_cast<QWidget*>(Chart4);
}

void TFrmBrennic::SaveChartImage(int page, const QString& path, QSize size)
{
    QWidget* shown = PictureWidget(page);
    SaveChartPicture(shown, PictureSubtitle(), path, size);
    StatusBar1->ShowMessage(QStringLiteral("Saved to ") + path);
}

void TFrmBrennic::ChooseWorkbookFile()
{
    QFileDialog dialog(this, QStringLiteral("Export to spreadsheet"), DialogStart(),
                       QStringLiteral("Spreadsheets (*.xlsx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        RememberFolder(dialog.selectedFiles().first());
        ExportWorkbook(dialog.selectedFiles().first());
    }
}

void TFrmBrennic::ChooseChartImageFile()
{
    QFileDialog dialog(this, QStringLiteral("Save chart image"), DialogStart(),
                       QStringLiteral("PNG images (*.png);;SVG drawings (*.svg)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    RememberFolder(dialog.selectedFiles().first());
    const int page = PageControl1->currentIndex();
    QWidget* shown = PictureWidget(page);
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
    QApplication::clipboard()->setImage(ChartPicture(PictureWidget(PageControl1->currentIndex()), PictureSubtitle()));
}

}  // namespace brennic
