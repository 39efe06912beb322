// The main window: inputs, run controller, live display, export and help.
#pragma once

#include "ByteMap.h"
#include "ChartSupport.h"
#include "EnhStringList.h"
#include "FiniteDiff_1D.h"
#include "ResultText.h"
#include "RunSetup.h"
#include "StripPalette.h"
#include "ZoomChartView.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <span>

class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace brennic {

class TImgView32;

// The status bar: one simple text panel; a click anywhere on it is reported.
class TClickStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TClickStatusBar(QWidget* parent = nullptr);
    QLabel* Panel() const { return panel_; }
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QLabel* panel_;
};

// Address of the help page shipped beside the program.
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

    // Controls, named as the window names them.
    QGroupBox* grpMirror;
    QGroupBox* grpHeatTransfer;
    QGroupBox* grpSimulation;
    QLabel *Label1, *Label2, *Label13, *lbl1, *Label7, *Label8;
    QLabel *lbl5, *lbl2, *lbl8, *lbl3, *lbl6, *lbl9;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label9, *Label10, *Label11, *Label12;
    QLineEdit *edtThickness, *edtInitialMirrorTemp, *edtElementCount;
    QComboBox* cmbMaterial;
    QLineEdit *edtFrontFanFlow, *edtFrontRadiation, *edtBackFanFlow, *edtBackRadiation;
    QLineEdit *edtInitialAirTemp, *edtFinalAirTemp, *edtTimeInterval, *edtTimeStep;
    QPushButton *btnRun, *btnCancel, *btnExportCSV, *btnHelp;
    QTabWidget* PageControl1;
    QWidget *TabSheet1, *TabSheet3;
    TZoomChartView *Chart1, *Chart4;
    QLineSeries *LineSeries1, *Series1, *Series2, *Series3, *LineSeries3;
    QLabel *StaticText1, *StaticText2;
    TImgView32* ImgView321;
    TClickStatusBar* StatusBar1;
    QFileDialog* SaveDialog1;

    // Owned state.
    std::unique_ptr<TBrennicOneD> Solver;
    std::unique_ptr<TEnhStringList> ResultLines;
    std::unique_ptr<TByteMap> StripMap;
    TStripPalette StripPalette{};
    TRegionalSettings Regional;

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
    void SolverStep(std::span<const double> positions, std::span<const double> temperatures, double time);
    void BuildStripPalette();

    // All points of the evolution curves and of the profile, as recorded.
    const TCurve& Curve(QLineSeries* series) const;
    // Shows the file dialog and returns the chosen path.
    std::optional<QString> ChooseExportFile();
    // Reads the regional settings again.
    void ReadRegionalSettings();
    // Redraws the page in front now, with every point recorded so far.
    void RedrawPage(int page);
    bool CloseRequested() const { return closeRequested_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void LayoutAnchored();
    void PlaceLegend();
    void SetButtonsRunning(bool running);
    void SyncEvolution();
    void SyncProfile();
    void UpdateProfileView();
    void UpdateCurveViews();

    TCurve core_, air_, surface_, back_, profile_;
    QString profileTitle_;
    QElapsedTimer frameClock_;
    bool redrawnOnce_ = false;
    bool closeRequested_ = false;
    QString lastExportName_;
};

}  // namespace brennic
