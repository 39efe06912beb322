// The input fields in the units the user chose to see: which fields hold a
// temperature or a length, their texts converted both ways, their unit
// labels, and a refusal that gives the value as the user typed it.
#pragma once

#include "app/core/inputs/InputFields.h"
#include "app/core/results/DisplayUnits.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace brennic {

// What one number of a field measures (a list field's items may differ).
enum class TQuantity { Other, Temperature, Millimetres, Metres };
TQuantity FieldQuantity(int field, std::size_t item = 0);

// Whether the field shows any of its numbers in another unit than its own.
bool FieldConverted(int field, const TDisplayUnits& units);
// The unit label beside the field: the table's own, or e.g. "in, m/s, in".
std::string FieldUnitShown(int field, const TDisplayUnits& units);

// A field's text in its own unit as shown in the chosen units, rounded to
// ShownDigits significant digits (below one, to ShownDigits - 1 decimals;
// a whole number from 10^ShownDigits), and a text typed in the chosen
// units in the field's own unit (15 significant digits). A text that does
// not convert (empty, a word, a list with a bad item) is returned as it
// is, so that its refusal quotes what was typed.
inline constexpr int ShownDigits = 6;
std::u16string FieldTextShown(int field, std::u16string_view own, const TDisplayUnits& units, char16_t dec);
std::u16string FieldTextFromShown(int field, std::u16string_view shown, const TDisplayUnits& units, char16_t dec);

// A refusal of a field typed in other units: "NAME" is SHOWN UNIT (OWN UNIT): RULE,
// the rule as the run states it in the field's own unit.
std::string RefusalInShownUnits(int field, std::u16string_view shown, std::u16string_view own, const std::string& rule,
                                const TDisplayUnits& units, TFieldNaming naming);

}  // namespace brennic
