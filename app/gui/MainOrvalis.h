// The main window: inputs, run controller, live display, export and help.
#pragma once

#include "app/core/results/ByteMap.h"
#include "app/core/fit/Fit.h"
#include "app/core/tables/MeasuredLog.h"
#include "app/core/results/ResultText.h"
#include "app/core/run/RunComparison.h"
#include "app/core/run/RunComparisonTable.h"
#include "app/core/run/RunRecord.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/inputs/RunRequest.h"
#include "app/core/inputs/InputHistory.h"
#include "app/core/inputs/FieldUnits.h"
#include "app/core/files/Scenario.h"
#include "app/core/results/StripPalette.h"
#include "app/gui/AirSourceBar.h"
#include "app/gui/EvolutionPage.h"
#include "app/gui/ProfilePage.h"
#include "app/gui/RunWorker.h"
#include "app/gui/StatusBar.h"
#include "app/gui/ZoomChartView.h"
#include "model/FiniteDiff_1D.h"
#include "support/EnhStringList.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>

class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QToolButton;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace brennic {

class TImgView32;

// The pages of PageControl1, in their order.
enum TPage : int { ProfilePage = 0, EvolutionPage = 1, ConditionsPage = 2 };

// Address of the help page shipped with the program.
QString HelpAddress();

// Makes the window's font the application's: Tahoma, 11 pixels high, where
// it can be had (Wine ships a compatible one), else DejaVu Sans.
void UseWindowFont();

class TFrmBrennic : public QWidget {
    Q_OBJECT
signals:
    // A run has ended (completed or cancelled) and its results are in place.
    void RunFinished();

public:
    explicit TFrmBrennic(QWidget* parent = nullptr);
    ~TFrmBrennic() override;

    // Controls, named as the window has always named them (scripts and
    // tests find them by these names); what each holds is said beside it.
    // Everything below the menu bar, at the places the window has always had
    // (855 x 671 at the design size).
    QWidget* Client;
    QGroupBox* grpMirror;        // the mirror: thickness, start temperature, glass, elements
    QGroupBox* grpHeatTransfer;  // the faces' film coefficients and radiation factors
    QGroupBox* grpSimulation;    // the air at start and end, the duration, the time step
    // Captions and unit labels of the fields, in the groups' order: Label1/Label7 thickness,
    // Label2/Label8 start temperature, Label13 material, lbl1 elements; lbl5/lbl6 front film,
    // lbl2 front radiation, lbl8/lbl9 back film, lbl3 back radiation; Label3/Label9 air at
    // the start, Label4/Label10 air at the end, Label5/Label11 duration, Label6/Label12 step.
    QLabel *Label1, *Label2, *Label13, *lbl1, *Label7, *Label8;
    QLabel *lbl5, *lbl2, *lbl8, *lbl3, *lbl6, *lbl9;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label9, *Label10, *Label11, *Label12;
    QLineEdit *edtThickness, *edtInitialMirrorTemp, *edtElementCount;
    QComboBox* cmbMaterial;
    QLineEdit* edtFrontFanFlow;  // the front film coefficient (W/m²K)
    QLineEdit* edtFrontRadiation;
    QLineEdit* edtBackFanFlow;  // the back film coefficient (W/m²K)
    QLineEdit* edtBackRadiation;
    QLineEdit *edtInitialAirTemp, *edtFinalAirTemp;
    QLineEdit* edtTimeInterval;  // the simulated duration (min)
    QLineEdit* edtTimeStep;
    QPushButton *btnRun, *btnCancel, *btnExportCSV, *btnHelp;
    QPushButton *btnKeepRun, *btnClearKept;
    QCheckBox* chkSurfaceMinusAir;
    QTabWidget* PageControl1;
    TAirSourceBar* AirBar;
    QPushButton *btnMeasured, *btnFit;
    QToolButton* btnFile;  // scenarios, the spreadsheet and chart images
    QPushButton* btnSweep;
    QMenu* RecentMenu;
    TProfilePage* TabSheet1;   // the profile page ("Temperate Profile")
    TEvolutionPage* TabSheet3;  // the evolution page
    TZoomChartView* Chart1;     // the evolution chart
    TZoomChartView* Chart4;     // the profile chart
    // The evolution curves: core, air, surface, back; and the profile.
    QLineSeries *LineSeries1, *Series1, *Series2, *Series3, *LineSeries3;
    QLabel *StaticText1, *StaticText2;  // "Mirror Front (Optical Surface)", "Mirror Back"
    TImgView32* ImgView321;             // the colour strip
    TClickStatusBar* StatusBar1;
    QFileDialog* SaveDialog1;

    // Runs, fits and sweeps go on this thread beside the window; the run's
    // reports wait in Chunks until the next display frame takes them.
    TRunWorker* Worker;
    TChunkQueue Chunks;

    // Owned state: the last run's solver inputs, what the last run produced (its result lines
    // and strip are ResultLines and StripMap), and the runs kept to compare.
    std::unique_ptr<TBrennicOneD> Solver;
    TRunRecord Record;
    TEnhStringList* ResultLines = nullptr;
    TByteMap* StripMap = nullptr;
    TStripPalette StripPalette{};
    TRegionalSettings Regional;
    TKeptRuns Kept;
    // The log of the user's mirror shown over the curves, and how far the last run is from it.
    std::shared_ptr<const TMeasuredLog> MeasuredLog;
    TLogComparison Measured;
    // The scenario last opened or saved, and where the list of recent ones
    // is kept (empty: the user's settings file; tests give their own).
    QString ScenarioPath;
    QString SettingsFile;
    std::string MeasuredPath, MeasuredStart;
    TLogColumns MeasuredColumns;
    // The air file in use (none: the ramp of the two air fields) and how it was chosen.
    std::shared_ptr<const TAirSource> AirSource;
    TAirFileChoice AirChoice;

    // Seams: where export asks for a file name (the dialog by default) and
    // how it writes (write(2) by default).
    std::function<std::optional<QString>()> FileNameProvider;
    WriteFunction ExportWriter;

    // Event handlers.
    void FormCreate();
    void FormDestroy();
    bool FormKeyDown(int key);
    void btnRunClick();
    void btnCancelClick();
    void btnExportCSVClick();
    void btnHelpClick();
    // The help page in the program's own viewer, when no browser answers.
    void ShowHelpViewer();
    // Unsaved changes: the title's "*", and the question before they go
    // (save them, discard them, or stay); tests answer it.
    enum class TUnsavedAnswer { Save, Discard, Cancel };
    std::function<TUnsavedAnswer()> DiscardPrompt;
    bool ConfirmDiscard();
    bool Dirty() const { return dirty_; }
    void MarkDirty();
    void MarkClean(const QString& title);
    // A refused field: a red frame and the reason as its tooltip until edited.
    void MarkRefused(QWidget* field, const QString& reason);
    void ClearRefused(QWidget* field);
    class THelpViewer* HelpViewer = nullptr;
    void btnKeepRunClick();
    void btnClearKeptClick();
    // The air from a file: asks with the dialog, or takes a choice directly;
    // a file that cannot be used is reported and changes nothing.
    void ChooseAirFile();
    void ChooseForecast();
    void UseAirFile(const TAirFileChoice& choice, bool fitDuration);
    void UseAirSource(std::shared_ptr<const TAirSource> source, const TAirFileChoice& choice, bool fitDuration);
    void UseAirRamp();
    // A log of the user's mirror: its points over the curves, its air as the
    // run's, its first value as the mirror's start; and the fit to it.
    void ChooseMeasuredLog();
    // ask: whether to ask before its air replaces other air (a scenario's
    // log brings its air as it was saved).
    void LoadMeasuredLog(const std::string& path, const TLogColumns& columns, const std::string& start,
                         bool ask = true);
    void RemoveMeasuredLog();
    // A scenario's kept runs, computed again on the worker (cancellable):
    // with their own air file when it is unchanged, else shown as saved.
    void ComputeKeptRuns(const TScenario& scenario, std::shared_ptr<const TAirSource> scenarioAir,
                         std::optional<TAirFileChoice> scenarioChoice);
    // Asked when a log with its own air column comes while other air is in
    // use; tests answer it (true: take the log's air).
    std::function<bool()> LogAirPrompt;
    QAction* RemoveLogAction = nullptr;
    void ShowFitDialog();
    // The fit for the current inputs (checked as for a run, here), to be run
    // on a worker; and the same run at once.
    using TFitJob = std::function<TFitResult(const TFitProgress&, std::stop_token)>;
    TFitJob PrepareFit(const std::vector<TFitParameter>& params);
    TFitResult FitInputs(const std::vector<TFitParameter>& params, const TFitProgress& progress);
    // The run request of the current inputs, the air and the log; refusals
    // take the refused field's focus.
    TRunRequest CurrentRequest();
    // What every run of a sweep starts from: the current inputs as typed.
    TRequestSource CurrentSource() const;
    void ShowSweepDialog();
    // The current run beside the kept ones, in a table.
    TComparisonTable RunsCompared() const;
    void ShowComparison();
    // A run, a fit or a sweep is going on.
    bool Running() const { return Worker && Worker->Busy(); }
    // Writes fitted values into their fields, in the user's decimal form;
    // the fit goes into the workbook until the log goes.
    void UseFittedValues(const TFitResult& result);
    std::optional<TFitResult> TakenFit;
    // Scenarios: a file that cannot be used is reported and changes nothing.
    void OpenScenario(const QString& path);
    void SaveScenario(const QString& path);
    TScenario CurrentScenario() const;
    QStringList RecentScenarios() const;
    // The last run as a workbook; a picture of a page (PNG or SVG).
    void ExportWorkbook(const QString& path);
    void SaveChartImage(int page, const QString& path, QSize size = QSize());
    // What the pictures say they show: the inputs that differ from the defaults.
    QString PictureSubtitle() const;
    // Takes the reports made since the last frame and draws the page in front.
    void TakeFrame();
    void BuildStripPalette();

    // All points of the evolution curves and of the profile, as recorded.
    const TCurve& Curve(QXYSeries* series) const;
    // Shows the file dialog and returns the chosen path.
    std::optional<QString> ChooseExportFile();
    // Reads the regional settings again.
    void ReadRegionalSettings();
    // Redraws the page now, with every point recorded so far.
    void RedrawPage(int page);
    bool CloseRequested() const { return closeRequested_; }
    // The texts of the inputs as typed.
    TInputTexts InputTexts() const;
    // The edit of a field of the input table.
    QLineEdit* FieldEdit(int field) const;
    // The drop-down list of a choice field (nullptr for the others).
    QComboBox* FieldCombo(int field) const;
    // A field's text as the run reads it (a choice's word; the typed film
    // coefficient while the field shows "computed"), and setting it so.
    QString FieldText(int field) const;
    void SetFieldText(int field, const QString& text);
    QWidget* TabConditions = nullptr;
    // Tonight, from the mirror's own sensors: a window of its own, made the
    // first time it is asked for.
    class TLivePage* TabLive = nullptr;
    class TLivePage* ShowLiveNight();
    // A field's input (edit or list), and whether it can be used now.
    QWidget* FieldInput(int field) const;
    void SetFieldUsable(int field, bool usable, const QString& reason);
    // The radiation model the inputs ask for, shown: what "auto" means,
    // the back's radiation factor, the inputs that change nothing.
    void UpdateModelView();
    QCheckBox* chkMirrorSeeing = nullptr;  // on the Conditions page
    // The inputs in tab order: group by group, row by row.
    std::vector<QWidget*> InputTabOrder() const;

    // A scenario (*.brennic), a measured log or an air table, by what the
    // file holds; throws when it is none of them.
    void OpenAnyFile(const QString& path);

    // The menu bar: every command with its mnemonic and shortcut.
    QMenuBar* MenuBar = nullptr;
    // The fields and the command row above the pages, hidden to give the
    // pages the window's height (View, Inputs, Ctrl+I); Run and the other
    // commands stay in the menus and keys. A refused field shows them again.
    QAction* InputsAction = nullptr;
    void ShowInputs(bool shown);
    bool InputsShown() const;
    // Undo and redo of the inputs (Edit menu, Ctrl+Z, Ctrl+Shift+Z): a
    // user's edits field by field, an opened scenario or fitted values as
    // one step each.
    TInputHistory History;
    QAction *UndoAction = nullptr, *RedoAction = nullptr;
    void UndoInputs();
    void RedoInputs();
    // The program is about to change the inputs for the user: the change is
    // one step of this name.
    void NameNextInputStep(const std::string& name);
    // Takes the inputs' changes so far into the history now.
    void SettleInputs();
    // The units the fields, charts and readouts show (View, Units): the
    // inputs keep their values, files and the command line stay in degC
    // and mm. Kept in the settings; LoadDisplayUnits takes them from there.
    TDisplayUnits Units;
    QAction *FahrenheitAction = nullptr, *InchAction = nullptr;
    void SetDisplayUnits(const TDisplayUnits& units);
    void LoadDisplayUnits();

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool cancelled_ = false;  // the running run was stopped by the user
    QElapsedTimer runClock_;  // since the running run started
    void ShowRunProgress();
    bool dirty_ = false;
    bool runHadFocus_ = false;
    QString title_ = QStringLiteral("Telescope Brennic");
    void UpdateTitle();
    void FitToScreen();
    void ConnectEditTracking();
    // F5, Ctrl+R and Enter in a field run; Escape cancels.
    bool RunKeys(QObject* watched, const class QKeyEvent* key);
    void CreateControls();
    void CreateInputs();
    void CreateCommands();
    void ConnectHandlers();
    void LayoutAnchored();
    void SetButtonsRunning(bool running);
    // Controls that would change a running job's inputs or files.
    void SetInputsEnabled(bool enabled);
    void StartRun(const TRunRequest& request);
    void RunEnded(const QString& error);
    void UpdateKeepButtons();
    void ShowAirFromFile();
    void CompareWithLog();
    void CreateFileMenu(QWidget* parent);
    void CreateMenuBar();
    QMenu* FileMenu = nullptr;
    QAction* QuitAction = nullptr;  // stays usable while a job runs
    void ConnectUndo();
    void ScheduleSettle();
    void UpdateUndoActions();
    void ApplyInputs(const TInputTexts& texts);
    void StepInputs(bool forward);
    int editedField_ = -1;
    bool inputsLocked_ = false;  // a run, fit or sweep holds the inputs
    std::string pendingStep_;
    bool settleScheduled_ = false;
    void ChooseScenarioToOpen();
    void ChooseScenarioToSave();
    void RememberScenario(const QString& path);
    void UpdateRecentMenu();
    QWidget* PictureWidget(int page) const;
    void ChooseWorkbookFile();
    void ChooseChartImageFile();
    void CopyChart();

    std::array<QLineEdit*, FieldCount> fieldEdits_{};
    std::array<QComboBox*, FieldCount> fieldCombos_{};
    QString typedFilms_[2];
    QWidget* CreateConditionsPage();
    void ConnectModelView();
    bool DefaultRamp() const;
    bool AskLogAir();
    void ChooseClassicModel();
    TRadiationModel shownModel_ = TRadiationModel::Classic;
    int shownMaterial_ = 0;
    void ShowFilmsComputed();
    QString rampTexts_[2];  // the air fields' texts while a file is in use
    // A converted field's text as last shown and the value it stands for in
    // the field's own unit: an untouched field keeps its value exactly.
    std::array<std::pair<QString, QString>, FieldCount> shownTexts_{};
    std::unique_ptr<QSettings> OpenSettings() const;
    void CreateUnitsMenu(QMenu* view);
    void ShowUnitLabels();

    QTimer* frameTimer_ = nullptr;
    bool closeRequested_ = false;
    QString lastExportName_;
};

}  // namespace brennic
