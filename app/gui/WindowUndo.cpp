// Undo and redo of the inputs: every change of a field is taken into the
// history once the event that made it is done, as the user's step when the
// user typed or chose it, as a named step when the program acted for the
// user, and silently otherwise.
#include "app/gui/MainOrvalis.h"

#include "app/gui/ErrorReport.h"
#include "app/gui/WindowText.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace brennic {

void TFrmBrennic::ConnectUndo()
{
    for (int f = 0; f < FieldCount; ++f) {
        if (QLineEdit* edit = FieldEdit(f)) {
            connect(edit, &QLineEdit::textChanged, this, [this] { ScheduleSettle(); });
            connect(edit, &QLineEdit::textEdited, this, [this, f] {
                editedField_ = f;
                ScheduleSettle();
            });
        }
        if (QComboBox* box = FieldCombo(f)) {
            connect(box, &QComboBox::currentIndexChanged, this, [this] { ScheduleSettle(); });
            connect(box, &QComboBox::activated, this, [this, f] {
                editedField_ = f;
                ScheduleSettle();
            });
        }
    }
    connect(cmbMaterial, &QComboBox::currentIndexChanged, this, [this] { ScheduleSettle(); });
    connect(cmbMaterial, &QComboBox::activated, this, [this] {
        editedField_ = TInputHistory::MaterialField;
        ScheduleSettle();
    });
    History.Reset(InputTexts());
    UpdateUndoActions();
}

void TFrmBrennic::ScheduleSettle()
{
    if (settleScheduled_)
        return;
    settleScheduled_ = true;
    QTimer::singleShot(0, this, [this] { Guarded([this] { SettleInputs(); }); });
}

void TFrmBrennic::SettleInputs()
{
    settleScheduled_ = false;
    History.Settle(InputTexts(), editedField_, pendingStep_);
    editedField_ = -1;
    pendingStep_.clear();
    UpdateUndoActions();
}

void TFrmBrennic::NameNextInputStep(const std::string& name)
{
    SettleInputs();  // what came before is a step of its own
    pendingStep_ = name;
    ScheduleSettle();
}

void TFrmBrennic::ApplyInputs(const TInputTexts& texts)
{
    for (int f = 0; f < FieldCount; ++f)
        if (FromQ(FieldText(f)) != texts.Text(f))
            SetFieldText(f, ToQ(texts.Text(f)));
    cmbMaterial->setCurrentIndex(texts.Material);
    SettleInputs();  // the history already holds this state
    MarkDirty();
}

void TFrmBrennic::UndoInputs()
{
    StepInputs(false);
}

void TFrmBrennic::RedoInputs()
{
    StepInputs(true);
}

void TFrmBrennic::StepInputs(bool forward)
{
    if (inputsLocked_)
        return;
    SettleInputs();
    const TInputTexts now = InputTexts();
    if (const auto texts = forward ? History.Redo(now) : History.Undo(now))
        ApplyInputs(*texts);
}

void TFrmBrennic::UpdateUndoActions()
{
    if (!UndoAction)
        return;
    const QString undo = QString::fromStdString(History.UndoName());
    const QString redo = QString::fromStdString(History.RedoName());
    UndoAction->setEnabled(!undo.isEmpty() && !inputsLocked_);
    RedoAction->setEnabled(!redo.isEmpty() && !inputsLocked_);
    UndoAction->setText(undo.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo %1").arg(undo));
    RedoAction->setText(redo.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo %1").arg(redo));
}

}  // namespace brennic
