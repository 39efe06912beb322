#include "app/core/InputFields.h"

namespace brennic {

namespace {

using TextMember = std::u16string TInputTexts::*;
constexpr std::array<TextMember, FieldCount> Members{
    &TInputTexts::Thickness,      &TInputTexts::ElementCount, &TInputTexts::InitialMirrorTemp,
    &TInputTexts::InitialAirTemp, &TInputTexts::FinalAirTemp, &TInputTexts::Duration,
    &TInputTexts::TimeStep,       &TInputTexts::FrontFilm,    &TInputTexts::BackFilm,
    &TInputTexts::FrontRadiation, &TInputTexts::BackRadiation};

}  // namespace

std::u16string& TInputTexts::Text(int field)
{
    return this->*Members.at(static_cast<std::size_t>(field));
}

const std::u16string& TInputTexts::Text(int field) const
{
    return this->*Members.at(static_cast<std::size_t>(field));
}

}  // namespace brennic
