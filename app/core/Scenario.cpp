#include "app/core/Scenario.h"

#include "support/FileOutput.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace brennic {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Refuse(const std::string& file, std::size_t line, const std::string& key, const std::string& what)
{
    throw EBrennicError(file + ", line " + std::to_string(line) + ": \"" + key + "\" " + what);
}

std::string Trim(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(" \t\r");
    const std::size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

int MaterialIndex(const std::string& name)
{
    for (int i = 0; i < GlassMaterialCount; ++i)
        if (TextEqualsIgnoreCase(FromUtf8(name), FromUtf8(GlassMaterials[std::size_t(i)].Name)))
            return i;
    return -1;
}

std::string Resolved(const std::string& scenario, const std::string& value)
{
    const fs::path p(value);
    return (p.is_absolute() ? p : fs::path(scenario).parent_path() / p).lexically_normal().string();
}

std::string Relative(const std::string& scenario, const std::string& path)
{
    std::error_code ec;
    const fs::path base = fs::absolute(fs::path(scenario), ec).parent_path();
    const fs::path rel = fs::absolute(path, ec).lexically_relative(base);
    return rel.empty() ? path : rel.string();
}

// Keys that are not input fields, and where their values go.
std::string* TextSlot(TScenario& s, const std::string& key)
{
    if (key == "air-file" || key == "air-column" || key == "start" || key == "sky-column" || key == "dew-column") {
        if (!s.Air)
            s.Air.emplace();
        return key == "air-file"     ? &s.Air->Path
               : key == "air-column" ? &s.Air->AirColumn
               : key == "start"      ? &s.Air->Start
               : key == "sky-column" ? &s.Air->SkyColumn
                                     : &s.Air->DewColumn;
    }
    if (key == "measured") {
        s.Measured.emplace();
        return &*s.Measured;
    }
    if (key == "measured-time")
        return &s.MeasuredColumns.Time;
    if (key == "measured-air")
        return &s.MeasuredColumns.Air;
    if (key == "measured-surface")
        return &s.MeasuredColumns.Surface;
    if (key == "measured-back")
        return &s.MeasuredColumns.Back;
    if (key == "measured-start")
        return &s.MeasuredStart;
    return nullptr;
}

void SetValue(TScenario& s, const std::string& file, std::size_t line, const std::string& key, const std::string& value)
{
    for (int f = 0; f < FieldCount; ++f)
        if (key == InputFields[f].Key) {
            const std::u16string text = FromUtf8(value);
            if (!FieldTextConverts(f, text, u'.'))
                Refuse(file, line, key,
                       "has '" + value + "', which is not " +
                           (InputFields[f].Choices ? "one of " + ChoicesText(f)
                            : InputFields[f].List  ? std::string("a list of numbers")
                                                   : std::string("a number")));
            s.Inputs.Text(f) = text;
            return;
        }
    if (key == "material") {
        s.Inputs.Material = MaterialIndex(value);
        if (s.Inputs.Material < 0)
            Refuse(file, line, key, "has '" + value + "', which is not one of the materials");
        return;
    }
    std::string* slot = TextSlot(s, key);
    if (!slot)
        Refuse(file, line, key, "is not a setting of a scenario");
    *slot = value;
    if (key == "air-file" || key == "measured") {
        *slot = Resolved(file, value);
        if (!fs::exists(*slot))
            Refuse(file, line, key, "names '" + value + "', which does not exist");
    }
}

}  // namespace

TScenario ReadScenario(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EBrennicError(path + ": cannot be read");
    TScenario s;
    std::set<std::string> seen;
    std::string text;
    std::size_t line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (line == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.erase(0, 3);
        const std::string bare = Trim(text);
        if (bare.empty() || bare[0] == '#')
            continue;
        const std::size_t eq = bare.find('=');
        if (eq == std::string::npos) {
            std::string message = path;
            message += ", line " + std::to_string(line) + ": expected 'key = value', found '" + bare + "'";
            throw EBrennicError(message);
        }
        std::string value = bare.substr(eq + 1);
        // A comment may follow the value after white space.
        for (std::size_t hash = value.find('#'); hash != std::string::npos; hash = value.find('#', hash + 1))
            if (hash > 0 && (value[hash - 1] == ' ' || value[hash - 1] == '\t')) {
                value.resize(hash);
                break;
            }
        value = Trim(value);
        const std::string key = Trim(bare.substr(0, eq));
        if (!seen.insert(key).second)
            Refuse(path, line, key, "is given twice");
        SetValue(s, path, line, key, value);
    }
    if (s.Air && s.Air->Path.empty())
        throw EBrennicError(path + ": air columns or a start are given without \"air-file\"");
    return s;
}

std::string ScenarioText(const TScenario& s, const std::string& path)
{
    std::ostringstream out;
    out << "# Brennic scenario: one input a line, numbers with a full stop.\n";
    for (int f = 0; f < FieldCount; ++f) {
        const TInputField& field = InputFields[f];
        out << field.Key << " = " << ToUtf8(s.Inputs.Text(f));
        if (field.PlainUnit[0])
            out << "  # " << field.PlainUnit;
        out << "\n";
    }
    out << "material = " << GlassMaterials.at(std::size_t(s.Inputs.Material)).Name << "\n";
    if (s.Air) {
        out << "air-file = " << Relative(path, s.Air->Path) << "\n";
        const std::pair<const char*, const std::string*> extra[] = {{"air-column", &s.Air->AirColumn},
                                                                    {"start", &s.Air->Start},
                                                                    {"sky-column", &s.Air->SkyColumn},
                                                                    {"dew-column", &s.Air->DewColumn}};
        for (const auto& [key, value] : extra)
            if (!value->empty())
                out << key << " = " << *value << "\n";
    }
    if (s.Measured) {
        out << "measured = " << Relative(path, *s.Measured) << "\n";
        const std::pair<const char*, const std::string*> extra[] = {{"measured-time", &s.MeasuredColumns.Time},
                                                                    {"measured-air", &s.MeasuredColumns.Air},
                                                                    {"measured-surface", &s.MeasuredColumns.Surface},
                                                                    {"measured-back", &s.MeasuredColumns.Back},
                                                                    {"measured-start", &s.MeasuredStart}};
        for (const auto& [key, value] : extra)
            if (!value->empty())
                out << key << " = " << *value << "\n";
    }
    return out.str();
}

void WriteScenario(const TScenario& s, const std::string& path)
{
    WriteFileAtomically(path, ScenarioText(s, path));
}

TInputTexts WithDecimalSeparator(const TInputTexts& texts, char16_t from, char16_t to)
{
    TInputTexts out = texts;
    if (from == to)
        return out;
    for (int f = 0; f < FieldCount; ++f) {
        double v;
        if (!InputFields[f].Whole && !InputFields[f].List && !InputFields[f].Choices &&
            TryStrToFloat(texts.Text(f), from, v))
            out.Text(f) = FormatFloat(v, to);
    }
    return out;
}

}  // namespace brennic
