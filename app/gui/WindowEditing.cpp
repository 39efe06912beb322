// The window while the user edits: unsaved changes marked in the title and
// asked about before they are discarded, a refused field marked until it
// is edited, and the keys that run and cancel.
#include "app/gui/MainOrvalis.h"

#include "app/gui/ErrorReport.h"

#include "app/core/inputs/InputFields.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace brennic {

namespace {

const char* const RefusedProperty = "refusedReason";
const char* const ToolTipProperty = "toolTipBeforeRefusal";

}  // namespace

void TFrmBrennic::ConnectEditTracking()
{
    for (int f = 0; f < FieldCount; ++f) {
        if (QLineEdit* edit = FieldEdit(f))
            connect(edit, &QLineEdit::textEdited, this, [this, edit] {
                ClearRefused(edit);
                MarkDirty();
            });
        if (QComboBox* box = FieldCombo(f))
            connect(box, &QComboBox::activated, this, [this, box] {
                ClearRefused(box);
                MarkDirty();
            });
    }
    connect(cmbMaterial, &QComboBox::activated, this, [this] { MarkDirty(); });
}

void TFrmBrennic::MarkDirty()
{
    if (dirty_)
        return;
    dirty_ = true;
    UpdateTitle();
}

void TFrmBrennic::MarkClean(const QString& title)
{
    dirty_ = false;
    title_ = title;
    UpdateTitle();
}

void TFrmBrennic::UpdateTitle()
{
    setWindowTitle(dirty_ ? title_ + QStringLiteral(" *") : title_);
}

bool TFrmBrennic::ConfirmDiscard()
{
    if (!dirty_)
        return true;
    TUnsavedAnswer answer = TUnsavedAnswer::Cancel;
    if (DiscardPrompt) {
        answer = DiscardPrompt();
    } else {
        const auto button = QMessageBox::question(
            this, QStringLiteral("Unsaved changes"),
            QStringLiteral("The inputs have changed since they were last saved or opened. Save the changes?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        answer = button == QMessageBox::Save      ? TUnsavedAnswer::Save
                 : button == QMessageBox::Discard ? TUnsavedAnswer::Discard
                                                  : TUnsavedAnswer::Cancel;
    }
    if (answer != TUnsavedAnswer::Save)
        return answer == TUnsavedAnswer::Discard;
    // Saved where the scenario came from, or where the user chooses; a
    // cancelled or failed save keeps the changes and stays.
    bool saved = false;
    Guarded([&] {
        if (ScenarioPath.isEmpty() || !QFileInfo(ScenarioPath).isFile())
            ChooseScenarioToSave();
        else
            SaveScenario(ScenarioPath);
        saved = !dirty_;
    });
    return saved;
}

void TFrmBrennic::MarkRefused(QWidget* field, const QString& reason)
{
    if (!InputsShown() && !TabConditions->isAncestorOf(field))
        ShowInputs(true);  // the refused field in view
    if (!field->property(RefusedProperty).isValid())
        field->setProperty(ToolTipProperty, field->toolTip());
    // The reason as the error report shows it, a sentence.
    const QString sentence = reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
    field->setProperty(RefusedProperty, sentence);
    field->setStyleSheet(QStringLiteral("border: 2px solid #c00000;"));
    field->setToolTip(sentence);
}

void TFrmBrennic::ClearRefused(QWidget* field)
{
    if (!field->property(RefusedProperty).isValid())
        return;
    field->setStyleSheet(QString());
    field->setToolTip(field->property(ToolTipProperty).toString());
    field->setProperty(RefusedProperty, QVariant());
    field->setProperty(ToolTipProperty, QVariant());
}

bool TFrmBrennic::RunKeys(QObject* watched, const QKeyEvent* key)
{
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Enter runs from the input fields only: in a list being edited (a kept
    // run's name) it confirms the edit.
    bool inputField = false;
    for (int f = 0; f < FieldCount && !inputField; ++f) inputField = watched == FieldEdit(f);
    if (key->key() == Qt::Key_F5 || (key->key() == Qt::Key_R && key->modifiers() == Qt::ControlModifier) ||
        (enter && (inputField || key->modifiers() == Qt::ControlModifier))) {
        if (btnRun->isEnabled())
            btnRun->click();
        return true;
    }
    if (key->key() == Qt::Key_Escape && Running()) {
        btnCancel->click();
        return true;
    }
    return false;
}

}  // namespace brennic
