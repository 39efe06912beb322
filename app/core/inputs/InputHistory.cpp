#include "app/core/inputs/InputHistory.h"

#include <string>

namespace brennic {

std::u16string TInputHistory::Text(const TInputTexts& t, int field)
{
    if (field == MaterialField) {
        const std::string m = std::to_string(t.Material);
        return std::u16string(m.begin(), m.end());
    }
    return t.Texts.at(std::size_t(field));
}

void TInputHistory::SetText(TInputTexts& t, int field, const std::u16string& text)
{
    if (field == MaterialField)
        t.Material = std::stoi(std::string(text.begin(), text.end()));
    else
        t.Text(field) = text;
}

TInputTexts TInputHistory::Apply(TInputTexts now, const TStep& step, bool forward)
{
    for (std::size_t i = 0; i < step.Fields.size(); ++i)
        SetText(now, step.Fields[i], forward ? step.After[i] : step.Before[i]);
    return now;
}

void TInputHistory::Reset(const TInputTexts& now)
{
    undo_.clear();
    redo_.clear();
    settled_ = now;
    mergeOpen_ = false;
}

void TInputHistory::Settle(const TInputTexts& now, int userField, const std::string& operation)
{
    TStep step;
    for (int f = 0; f <= MaterialField; ++f)
        if (Text(settled_, f) != Text(now, f)) {
            step.Fields.push_back(f);
            step.Before.push_back(Text(settled_, f));
            step.After.push_back(Text(now, f));
        }
    settled_ = now;
    if (step.Fields.empty())
        return;
    if (userField < 0 && operation.empty()) {
        // The program's own change: the steps before it stay as they are.
        mergeOpen_ = false;
        return;
    }
    redo_.clear();
    const bool oneField = step.Fields.size() == 1 && step.Fields[0] == userField;
    if (operation.empty() && oneField && mergeOpen_ && !undo_.empty() && undo_.back().Fields == step.Fields) {
        undo_.back().After = step.After;
        return;
    }
    step.Name = !operation.empty()             ? operation
                : userField == MaterialField ? std::string("Mirror Material")
                                             : std::string(InputFields[std::size_t(userField)].Caption);
    undo_.push_back(std::move(step));
    if (undo_.size() > Depth)
        undo_.erase(undo_.begin());
    mergeOpen_ = oneField && operation.empty();
}

std::optional<TInputTexts> TInputHistory::Move(std::vector<TStep>& from, std::vector<TStep>& to,
                                               const TInputTexts& now, bool forward)
{
    if (from.empty())
        return std::nullopt;
    settled_ = Apply(now, from.back(), forward);
    to.push_back(std::move(from.back()));
    from.pop_back();
    mergeOpen_ = false;
    return settled_;
}

std::optional<TInputTexts> TInputHistory::Undo(const TInputTexts& now)
{
    return Move(undo_, redo_, now, false);
}

std::optional<TInputTexts> TInputHistory::Redo(const TInputTexts& now)
{
    return Move(redo_, undo_, now, true);
}

std::string TInputHistory::UndoName() const
{
    return undo_.empty() ? std::string() : undo_.back().Name;
}

std::string TInputHistory::RedoName() const
{
    return redo_.empty() ? std::string() : redo_.back().Name;
}

}  // namespace brennic
