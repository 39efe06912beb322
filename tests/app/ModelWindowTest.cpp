// The radiation model in the window: what "auto" stands for, the back's
// radiation factor that follows the model and the glass, the inputs that
// change nothing disabled with the reason, and the model in the answer.
#include "app/gui/EvolutionPage.h"
#include "app/gui/ReadoutPanel.h"
#include "app/gui/StatusBar.h"
#include "tests/app/WindowFixtures.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

using namespace brennic;
using namespace brennic::test;

namespace {

QString Used(TFrmBrennic& w, const char* name)
{
    auto* label = w.TabConditions->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("(no label)");
}

void Choose(TFrmBrennic& w, int field, const char* word)
{
    QComboBox* box = w.FieldCombo(field);
    box->setCurrentText(QString::fromLatin1(word));
    emit box->activated(box->currentIndex());
}

}  // namespace

TEST(ModelWindow, TheFieldsFollowTheModelInUse)
{
    Window f;
    TFrmBrennic& w = f.w;
    // The defaults: classic, typed films; the correlations' inputs change nothing.
    EXPECT_EQ(Used(w, "lblRadiationUsed"), QStringLiteral("\u2192 classic"));
    EXPECT_EQ(w.edtBackRadiation->text(), QStringLiteral("0"));
    for (int field : {fDiameter, fAltitude, fFrontAirSpeed, fBackAirSpeed, fSiteElevation, fBackFan}) {
        EXPECT_FALSE(w.FieldInput(field)->isEnabled()) << InputFields[field].Key;
        EXPECT_TRUE(w.FieldInput(field)->toolTip().startsWith(QStringLiteral("With typed film coefficients")))
            << InputFields[field].Key;
    }

    // Films from the conditions: physical, the back radiates with Pyrex's
    // emissivity to the surroundings, the rim is exposed.
    Choose(w, fFilms, "conditions");
    EXPECT_EQ(Used(w, "lblRadiationUsed"), QStringLiteral("\u2192 physical: the films come from the conditions"));
    EXPECT_EQ(Used(w, "lblBackSeesUsed"), QStringLiteral("\u2192 surroundings"));
    EXPECT_EQ(Used(w, "lblEdgeUsed"), QStringLiteral("\u2192 exposed"));
    EXPECT_EQ(w.edtBackRadiation->text(), QStringLiteral("0.9"));
    for (int field : {fDiameter, fFrontAirSpeed, fBackFan}) EXPECT_TRUE(w.FieldInput(field)->isEnabled());
    w.cmbMaterial->setCurrentIndex(3);
    EXPECT_EQ(w.edtBackRadiation->text(), QStringLiteral("0.93"));

    // A value the user typed stays whatever the model does.
    w.edtBackRadiation->setText(QStringLiteral("0.5"));
    Choose(w, fFilms, "typed");
    EXPECT_EQ(w.edtBackRadiation->text(), QStringLiteral("0.5"));
    // Typed films with a tube: physical, so the diameter counts again.
    w.FieldEdit(fTubeLength)->setText(QStringLiteral("900"));
    EXPECT_EQ(Used(w, "lblRadiationUsed"), QStringLiteral("\u2192 physical: a tube is given"));
    EXPECT_TRUE(w.FieldInput(fDiameter)->isEnabled());
    EXPECT_FALSE(w.FieldInput(fFrontAirSpeed)->isEnabled());

    // Classic chosen: the tube goes back to none, said in the status bar, and
    // what only the physical model uses is disabled with the reason.
    Choose(w, fRadiation, "classic");
    EXPECT_EQ(w.FieldText(fTubeLength), QStringLiteral("0"));
    EXPECT_TRUE(w.StatusBar1->Panel()->text().contains(QStringLiteral("Tube beyond the Mirror")))
        << w.StatusBar1->Panel()->text().toStdString();
    for (int field : {fSky, fBackSees, fTubeLength, fEdge, fBackFan}) {
        EXPECT_FALSE(w.FieldInput(field)->isEnabled()) << InputFields[field].Key;
        EXPECT_TRUE(w.FieldInput(field)->toolTip().startsWith(QStringLiteral("Only the physical radiation model")))
            << InputFields[field].Key;
    }
    EXPECT_EQ(Used(w, "lblRadiationUsed"), QString());
    EXPECT_EQ(Used(w, "lblEdgeUsed"), QStringLiteral("\u2192 none (classic model)"));
}

TEST(ModelWindow, TheAnswerSaysWhichModelItUsed)
{
    Window f;
    TFrmBrennic& w = f.w;
    Choose(w, fFilms, "conditions");
    w.edtTimeInterval->setText(QStringLiteral("600"));
    w.PageControl1->setCurrentIndex(EvolutionPage);
    RunAndWait(w);
    const QString readout = w.TabSheet3->Readout->text();
    EXPECT_TRUE(readout.contains(QStringLiteral("Radiation model: physical (inferred: the films come from the conditions)")))
        << readout.toStdString();
    EXPECT_TRUE(readout.contains(QStringLiteral("Edge film coefficient"))) << readout.toStdString();
    EXPECT_TRUE(readout.contains(QStringLiteral("Surface then down to \u2212"))) << readout.toStdString();
    EXPECT_TRUE(w.TabSheet3->Headline->toolTip().startsWith(QStringLiteral("Radiation model: physical")));
    EXPECT_TRUE(w.TabSheet3->Headline->text().startsWith(QStringLiteral("Mirror no more than 0.5 \u00b0C above the air from ")))
        << w.TabSheet3->Headline->text().toStdString();
}
