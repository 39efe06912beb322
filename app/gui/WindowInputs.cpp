// The window's inputs and commands: where each control stands, from the
// input table's captions, units and defaults.
#include "app/gui/MainOrvalis.h"

#include "app/gui/ErrorReport.h"
#include "app/gui/FieldLayout.h"
#include "app/gui/WindowText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace brennic {

namespace {

using F = TFrmBrennic;

// The controls the window names, bound to their members by object name; the
// input table makes them, and inputs added to it need no entry here.
const std::pair<const char*, QLineEdit* F::*> NamedEdits[] = {
    {"edtThickness", &F::edtThickness},           {"edtInitialMirrorTemp", &F::edtInitialMirrorTemp},
    {"edtElementCount", &F::edtElementCount},     {"edtFrontFanFlow", &F::edtFrontFanFlow},
    {"edtFrontRadiation", &F::edtFrontRadiation}, {"edtBackFanFlow", &F::edtBackFanFlow},
    {"edtBackRadiation", &F::edtBackRadiation},   {"edtInitialAirTemp", &F::edtInitialAirTemp},
    {"edtFinalAirTemp", &F::edtFinalAirTemp},     {"edtTimeInterval", &F::edtTimeInterval},
    {"edtTimeStep", &F::edtTimeStep}};
const std::pair<const char*, QLabel* F::*> NamedLabels[] = {
    {"Label1", &F::Label1},   {"Label2", &F::Label2},   {"lbl1", &F::lbl1},       {"Label7", &F::Label7},
    {"Label8", &F::Label8},   {"lbl5", &F::lbl5},       {"lbl2", &F::lbl2},       {"lbl8", &F::lbl8},
    {"lbl3", &F::lbl3},       {"lbl6", &F::lbl6},       {"lbl9", &F::lbl9},       {"Label3", &F::Label3},
    {"Label4", &F::Label4},   {"Label5", &F::Label5},   {"Label6", &F::Label6},   {"Label9", &F::Label9},
    {"Label10", &F::Label10}, {"Label11", &F::Label11}, {"Label12", &F::Label12}};

// The material list's row in the mirror group.
constexpr int MaterialRow = 2;

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
    grpMirror = MakeGroup(Client, "grpMirror", QStringLiteral(" Mirror Properties "), 8);
    grpHeatTransfer = MakeGroup(Client, "grpHeatTransfer", QStringLiteral(" Heat Transfer Properties "), 270);
    grpSimulation = MakeGroup(Client, "grpSimulation", QStringLiteral(" Simulation "), 532);
    QGroupBox* groups[] = {grpMirror, grpHeatTransfer, grpSimulation};

    for (int field = 0; field < ClassicFieldCount; ++field) {
        const TInputField& f = InputFields[field];
        const TFieldLayout& p = FieldLayouts[std::size_t(field)];
        QGroupBox* g = groups[p.Group];
        QLabel* caption = MakeLabel(g, p.LabelName, QString::fromUtf8(f.Caption) + u':', 16, p.LabelTop);
        auto* edit = new QLineEdit(QString::fromStdU16String(f.Default), g);
        edit->setObjectName(QString::fromLatin1(p.EditName));
        edit->setGeometry(p.EditLeft, p.EditTop, 61, 21);
        caption->setBuddy(edit);
        fieldEdits_[std::size_t(field)] = edit;
        if (p.UnitName)
            MakeLabel(g, p.UnitName, QString::fromUtf8(f.Unit), p.UnitLeft, p.LabelTop);
    }
    for (const auto& [name, member] : NamedEdits) this->*member = findChild<QLineEdit*>(QString::fromLatin1(name));
    for (const auto& [name, member] : NamedLabels) this->*member = findChild<QLabel*>(QString::fromLatin1(name));
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
    btnRun = MakeButton(Client, "btnRun", QStringLiteral("Run"), 28, 102, true);
    btnCancel = MakeButton(Client, "btnCancel", QStringLiteral("Cancel"), 140, 102, false);
    btnExportCSV = MakeButton(Client, "btnExportCSV", QStringLiteral("Export to CSV"), 252, 102, false);
    btnHelp = MakeButton(Client, "btnHelp", QStringLiteral("On-line Help (F1)"), 665, 102, true);
    // Comparing runs, in the free space between the export and help commands.
    btnKeepRun = MakeButton(Client, "btnKeepRun", QStringLiteral("Keep for comparison"), 362, 112, false);
    btnKeepRun->setToolTip(QStringLiteral("Keep this run's curves on the evolution chart (up to four runs)"));
    btnClearKept = MakeButton(Client, "btnClearKept", QStringLiteral("Clear kept runs"), 480, 92, false);
    chkSurfaceMinusAir = new QCheckBox(QStringLiteral("Surface \u2212 air"), Client);
    chkSurfaceMinusAir->setObjectName(QStringLiteral("chkSurfaceMinusAir"));
    chkSurfaceMinusAir->setGeometry(578, 149, 84, 25);
    chkSurfaceMinusAir->setToolTip(QStringLiteral("Show the surface's distance to the air on the evolution chart"));
}

QWidget* TFrmBrennic::CreateConditionsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabConditions"));
    auto* outer = new QVBoxLayout(page);
    auto* intro = new QLabel(
        QStringLiteral("With \u201cFilm Coefficients: conditions\u201d the film coefficients follow from the mirror's "
                       "diameter, where it points and the air driven across its faces, every step; the sky and what "
                       "the back sees set its radiation. A small PC fan gives about 1\u20131.5 m/s, a strong one "
                       "about 3 m/s, a light breeze 1\u20133 m/s."),
        page);
    intro->setWordWrap(true);
    outer->addWidget(intro);
    auto* columns = new QHBoxLayout;
    QFormLayout* forms[2] = {new QFormLayout, new QFormLayout};
    for (QFormLayout* f : forms) {
        f->setLabelAlignment(Qt::AlignLeft);
        columns->addLayout(f, 1);
    }
    outer->addLayout(columns);
    chkMirrorSeeing = new QCheckBox(QStringLiteral("Draw the mirror's seeing on the evolution chart"), page);
    chkMirrorSeeing->setObjectName(QStringLiteral("chkMirrorSeeing"));
    chkMirrorSeeing->setToolTip(QStringLiteral("The blur of a mirror warmer than the air: 0.40\u2033 per kelvin "
                                               "to the power 1.2 (Racine et al. 1991)"));
    connect(chkMirrorSeeing, &QCheckBox::toggled, this,
            [this](bool on) { Guarded([this, on] { TabSheet3->ShowMirrorSeeing(on); }); });
    outer->addWidget(chkMirrorSeeing);
    outer->addStretch();
    // Row by row, the first column's rows before the second's.
    std::vector<int> fields;
    for (int field = ClassicFieldCount; field < FieldCount; ++field) fields.push_back(field);
    std::sort(fields.begin(), fields.end(),
              [](int a, int b) { return FieldLayouts[std::size_t(a)].Row < FieldLayouts[std::size_t(b)].Row; });
    for (int field : fields) {
        const TInputField& f = InputFields[field];
        const TFieldLayout& p = FieldLayouts[std::size_t(field)];
        auto* caption = new QLabel(QString::fromUtf8(f.Caption) + u':', page);
        caption->setObjectName(QString::fromLatin1(p.LabelName));
        QWidget* input;
        if (f.Choices) {
            auto* box = new QComboBox(page);
            for (const QString& choice : QString::fromLatin1(f.Choices).split(u'|')) box->addItem(choice);
            box->setCurrentText(QString::fromStdU16String(f.Default));
            fieldCombos_[std::size_t(field)] = box;
            input = box;
        } else {
            auto* edit = new QLineEdit(QString::fromStdU16String(f.Default), page);
            edit->setFixedWidth(f.List ? 120 : 61);
            fieldEdits_[std::size_t(field)] = edit;
            input = edit;
        }
        input->setObjectName(QString::fromLatin1(p.EditName));
        input->setToolTip(QString::fromUtf8(f.Help));
        caption->setBuddy(input);
        auto* row = new QHBoxLayout;
        row->addWidget(input);
        if (p.UnitName) {
            auto* unit = new QLabel(QString::fromUtf8(f.Unit), page);
            unit->setObjectName(QString::fromLatin1(p.UnitName));
            row->addWidget(unit);
        }
        row->addStretch();
        forms[p.Row < ConditionsSecondColumn ? 0 : 1]->addRow(caption, row);
    }
    QComboBox* films = FieldCombo(fFilms);
    connect(films, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { ShowFilmsComputed(); }); });
    return page;
}

void TFrmBrennic::ShowFilmsComputed()
{
    const bool computed = FieldCombo(fFilms)->currentIndex() == 1;
    for (int field : {fFrontFilm, fBackFilm}) {
        QLineEdit* edit = FieldEdit(field);
        if (computed == edit->isReadOnly())
            continue;
        // The typed value is kept aside while the field shows "computed".
        if (computed) {
            typedFilms_[field == fFrontFilm ? 0 : 1] = edit->text();
            edit->setText(QStringLiteral("computed"));
        } else {
            edit->setText(typedFilms_[field == fFrontFilm ? 0 : 1]);
        }
        edit->setReadOnly(computed);
    }
}

QLineEdit* TFrmBrennic::FieldEdit(int field) const
{
    return field >= 0 && field < FieldCount ? fieldEdits_[std::size_t(field)] : nullptr;
}

QComboBox* TFrmBrennic::FieldCombo(int field) const
{
    return field >= 0 && field < FieldCount ? fieldCombos_[std::size_t(field)] : nullptr;
}

QString TFrmBrennic::FieldText(int field) const
{
    if (QComboBox* box = FieldCombo(field))
        return box->currentText();
    QLineEdit* edit = FieldEdit(field);
    if (edit->isReadOnly() && (field == fFrontFilm || field == fBackFilm))
        return typedFilms_[field == fFrontFilm ? 0 : 1];
    if (!FieldConverted(field, Units))
        return edit->text();
    const auto& [shown, own] = shownTexts_[std::size_t(field)];
    if (edit->text() == shown)
        return own;
    return ToQ(FieldTextFromShown(field, FromQ(edit->text()), Units, Regional.DecimalSeparator));
}

void TFrmBrennic::SetFieldText(int field, const QString& text)
{
    if (QComboBox* box = FieldCombo(field)) {
        box->setCurrentText(text);
        return;
    }
    QLineEdit* edit = FieldEdit(field);
    if (edit->isReadOnly() && (field == fFrontFilm || field == fBackFilm)) {
        typedFilms_[field == fFrontFilm ? 0 : 1] = text;
    } else if (FieldConverted(field, Units)) {
        const QString shown = ToQ(FieldTextShown(field, FromQ(text), Units, Regional.DecimalSeparator));
        shownTexts_[std::size_t(field)] = {shown, text};
        edit->setText(shown);
    } else {
        edit->setText(text);
    }
}

std::vector<QWidget*> TFrmBrennic::InputTabOrder() const
{
    std::vector<QWidget*> order;
    for (int group = 0; group <= ConditionsGroup; ++group)
        for (int row = 0; row < 16; ++row) {
            if (group == 0 && row == MaterialRow)
                order.push_back(cmbMaterial);
            for (int field = 0; field < FieldCount; ++field)
                if (FieldLayouts[std::size_t(field)].Group == group && FieldLayouts[std::size_t(field)].Row == row)
                    order.push_back(FieldCombo(field) ? static_cast<QWidget*>(FieldCombo(field)) : FieldEdit(field));
        }
    return order;
}

TInputTexts TFrmBrennic::InputTexts() const
{
    TInputTexts texts;
    for (int f = 0; f < FieldCount; ++f) texts.Text(f) = FromQ(FieldText(f));
    texts.Material = cmbMaterial->currentIndex();
    return texts;
}

}  // namespace brennic
