// Undo and redo of the inputs as typed: each step holds the fields it
// changed, before and after, so undoing it puts back those fields only and
// leaves what the program has set since (an air file's values) alone.
#pragma once

#include "app/core/inputs/InputFields.h"

#include <optional>
#include <string>
#include <vector>

namespace brennic {

class TInputHistory {
public:
    // The most steps kept; the oldest go first.
    static constexpr std::size_t Depth = 200;

    // Forgets every step; `now` is where the next one starts.
    void Reset(const TInputTexts& now);
    // The inputs have become `now`. userField: the field the user edited
    // (MaterialField for the glass), -1 when the program changed them;
    // operation: the name of a step the program took for the user (opening
    // a scenario), "" for none. A user's edits of one field in a row are one
    // step; the program's own changes are taken in without a step.
    void Settle(const TInputTexts& now, int userField, const std::string& operation = {});
    // The inputs after undoing or redoing the last step from `now`, if any.
    std::optional<TInputTexts> Undo(const TInputTexts& now);
    std::optional<TInputTexts> Redo(const TInputTexts& now);
    // What the next undo or redo does ("" for nothing): the field's caption
    // or the operation's name.
    std::string UndoName() const;
    std::string RedoName() const;

    // The glass, as a field of its own in a step.
    static constexpr int MaterialField = FieldCount;

private:
    struct TStep {
        std::string Name;
        std::vector<int> Fields;
        std::vector<std::u16string> Before, After;
    };
    static std::u16string Text(const TInputTexts& t, int field);
    static void SetText(TInputTexts& t, int field, const std::u16string& text);
    static TInputTexts Apply(TInputTexts now, const TStep& step, bool forward);
    // Takes the last step of `from` forward or back and keeps it in `to`.
    std::optional<TInputTexts> Move(std::vector<TStep>& from, std::vector<TStep>& to, const TInputTexts& now,
                                    bool forward);

    std::vector<TStep> undo_, redo_;
    TInputTexts settled_;
    bool mergeOpen_ = false;  // the last step may take the next edit of its field
};

}  // namespace brennic
