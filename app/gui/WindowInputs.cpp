// The window's inputs and commands: where each control stands, from the
// input table's captions, units and defaults.
#include "app/gui/MainOrvalis.h"

#include "app/gui/WindowText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace brennic {

namespace {

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

}  // namespace brennic
