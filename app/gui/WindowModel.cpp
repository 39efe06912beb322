// The radiation model as the window shows it: what "auto" stands for, the
// back's radiation factor that follows the model and the glass, and the
// inputs that change nothing under the model or films chosen, disabled with
// the reason.
#include "app/gui/MainOrvalis.h"

#include "app/core/inputs/RadiationModel.h"
#include "app/gui/ErrorReport.h"
#include "app/gui/FieldLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace brennic {

namespace {

const QString ClassicOnlyTip = QStringLiteral("Only the physical radiation model uses this (Radiation Model: physical)");
const QString TypedFilmsTip = QStringLiteral(
    "With typed film coefficients this only feeds the film correlations: it changes nothing "
    "(Film Coefficients: conditions)");

// The inputs that only the physical model uses, as the window shows them.
constexpr int PhysicalOnlyFields[] = {fSky, fBackSees, fTubeLength, fEdge, fBackFan};

}  // namespace

QWidget* TFrmBrennic::FieldInput(int field) const
{
    if (QComboBox* box = FieldCombo(field))
        return box;
    return FieldEdit(field);
}

void TFrmBrennic::SetFieldUsable(int field, bool usable, const QString& reason)
{
    QWidget* input = FieldInput(field);
    if (!input)
        return;
    input->setEnabled(usable);
    const QString help = QString::fromUtf8(InputFields[field].Help);
    input->setToolTip(usable ? help : reason + QStringLiteral("\n\n") + help);
}

void TFrmBrennic::UpdateModelView()
{
    const char16_t dec = Regional.DecimalSeparator;
    const TInputTexts texts = InputTexts();
    if (texts.Material < 0 || !TabConditions)
        return;
    const TModelChoice model = InferRadiationModel(texts, AirSource && AirSource->Sky, dec);

    // The back's radiation factor shows the value the run will use.
    TInputTexts followed = texts;
    FollowModelDefaults(followed, shownModel_, shownMaterial_, model.Model, dec);
    if (followed.Text(fBackRadiation) != texts.Text(fBackRadiation))
        edtBackRadiation->setText(QString::fromStdU16String(followed.Text(fBackRadiation)));
    shownModel_ = model.Model;
    shownMaterial_ = texts.Material;

    // What "auto" stands for, beside each choice that has it.
    for (int field : {fRadiation, fBackSees, fEdge}) {
        auto* used = TabConditions->findChild<QLabel*>(QString::fromLatin1(FieldLayouts[std::size_t(field)].UnitName));
        if (!used)
            continue;
        QString text;
        if (texts.Text(field) == u"auto") {
            text = QStringLiteral("\u2192 ") + QString::fromStdString(AutoMeaning(field, model.Model));
            if (field == fRadiation && !model.Reason.empty())
                text += QStringLiteral(": ") + QString::fromStdString(model.Reason);
        }
        used->setText(text);
    }

    const bool classicChosen = model.Chosen && model.Model == TRadiationModel::Classic;
    const bool typed = texts.Text(fFilms) == u"typed";
    for (int field : PhysicalOnlyFields) SetFieldUsable(field, !classicChosen, ClassicOnlyTip);
    // A fan's jet is computed with the other films: typed films leave it out.
    if (!classicChosen)
        SetFieldUsable(fBackFan, !typed, TypedFilmsTip);
    const bool physical = model.Model == TRadiationModel::Physical;
    // The diameter and the altitude also shape the rim and the tube; the
    // site's air every correlation.
    for (int field : {fDiameter, fAltitude, fSiteElevation}) SetFieldUsable(field, !typed || physical, TypedFilmsTip);
    for (int field : {fFrontAirSpeed, fBackAirSpeed}) SetFieldUsable(field, !typed, TypedFilmsTip);
}

void TFrmBrennic::ChooseClassicModel()
{
    // Classic radiation has no use for these: they go back to their
    // defaults, and the status bar says which.
    const TInputTexts texts = InputTexts();
    QStringList reset;
    for (const TPhysicalInput& input : PhysicalOnlyInputs(texts, Regional.DecimalSeparator)) {
        SetFieldText(input.Field, QString::fromStdU16String(DefaultText(input.Field, Regional.DecimalSeparator)));
        reset << QString::fromUtf8(InputFields[input.Field].Caption);
    }
    reset.removeDuplicates();
    if (!reset.isEmpty())
        StatusBar1->ShowMessage(QStringLiteral("Classic radiation: ") + reset.join(QStringLiteral(", ")) +
                                QStringLiteral(" set back to the default"));
}

void TFrmBrennic::ConnectModelView()
{
    for (int f = 0; f < FieldCount; ++f) {
        if (QLineEdit* edit = FieldEdit(f))
            connect(edit, &QLineEdit::textChanged, this, [this] { Guarded([this] { UpdateModelView(); }); });
        if (QComboBox* box = FieldCombo(f))
            connect(box, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { UpdateModelView(); }); });
    }
    connect(cmbMaterial, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { UpdateModelView(); }); });
    connect(FieldCombo(fRadiation), &QComboBox::activated, this, [this] {
        Guarded([this] {
            if (FieldText(fRadiation) == QStringLiteral("classic"))
                ChooseClassicModel();
        });
    });
    UpdateModelView();
}

}  // namespace brennic
