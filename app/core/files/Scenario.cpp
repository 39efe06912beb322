#include "app/core/files/Scenario.h"

#include "app/core/run/RunComparison.h"

#include "support/BoundedRead.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>
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

// A value as the reader takes it back: in double quotes, with \" and \\ escaped
// inside, when it holds what the reader treats specially (a comment's
// "#", a quote, a backslash, spaces at either end).
bool Control(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// A value as one line: quoted when the reader would take it otherwise, with
// \" and \\, and control characters as \n, \r, \t or \xNN, so that a file name
// holding a line break cannot add keys to the file.
std::string Quoted(const std::string& value)
{
    const bool plain = value.find_first_of("#\"\\") == std::string::npos &&
                       std::none_of(value.begin(), value.end(), Control) &&
                       (value.empty() || (value.front() != ' ' && value.front() != '\t' && value.back() != ' ' &&
                                          value.back() != '\t'));
    if (plain)
        return value;
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (Control(c))
            out += std::string("\\x") + hex[b >> 4] + hex[b & 15];
        else
            out += c;
    }
    return out + "\"";
}

int HexValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// The reverse of Quoted, in place; false when the closing quote is missing
// or something other than a comment follows it.
bool Unquote(std::string& value)
{
    std::string out;
    std::size_t i = 1;
    for (; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] != '\\' || i + 1 >= value.size()) {
            out += value[i];
            continue;
        }
        const char e = value[++i];
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == 't')
            out += '\t';
        else if (e == 'x' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0) {
            out += char(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
            i += 2;
        } else
            out += e;
    }
    if (i >= value.size())
        return false;
    const std::string rest = Trim(value.substr(i + 1));
    if (!rest.empty() && rest[0] != '#')
        return false;
    value = out;
    return true;
}

// The keys of an air file's choice, and where each goes.
std::string* AirSlot(std::optional<TAirFileChoice>& air, const std::string& key)
{
    if (key != "air-file" && key != "air-column" && key != "start" && key != "sky-column" && key != "dew-column" &&
        key != "time-column" && key != "date-order" && key != "time-zone")
        return nullptr;
    if (!air)
        air.emplace();
    return key == "air-file"      ? &air->Path
           : key == "air-column"  ? &air->AirColumn
           : key == "start"       ? &air->Start
           : key == "sky-column"  ? &air->SkyColumn
           : key == "time-column" ? &air->TimeColumn
           : key == "date-order"  ? &air->DateOrder
           : key == "time-zone"   ? &air->TimeZone
                                  : &air->DewColumn;
}

// A kept run's reports: "time,air,surface,back,core,glass;..." with full stops.
std::string ReportsText(const std::vector<TStepValues>& reports)
{
    std::string out;
    for (const TStepValues& v : Thinned(reports, ScenarioKeptReports)) {
        if (!out.empty())
            out += ';';
        const double values[6] = {v.Time, v.Air, v.Surface, v.Back, v.Core, v.Glass};
        for (std::size_t i = 0; i < 6; ++i) out += (i ? "," : "") + ToUtf8(FormatFloat(values[i], u'.'));
    }
    return out;
}

bool ParseReports(const std::string& text, std::vector<TStepValues>& out)
{
    out.clear();
    for (std::size_t a = 0; a < text.size();) {
        const std::size_t b = std::min(text.find(';', a), text.size());
        double v[6];
        std::size_t at = a;
        for (double& x : v) {
            const std::size_t end = std::min(text.find(',', at), b);
            if (at >= b || !TryStrToFloat(FromUtf8(text.substr(at, end - at)), u'.', x) || !std::isfinite(x))
                return false;
            at = end + 1;
        }
        if (at <= b || (!out.empty() && !(v[0] > out.back().Time)))
            return false;
        out.push_back({v[0], v[1], v[2], v[3], v[4], v[5]});
        a = b + 1;
    }
    return true;
}

// Keys that are not input fields, and where their values go.
std::string* TextSlot(TScenario& s, const std::string& key)
{
    if (std::string* slot = AirSlot(s.Air, key))
        return slot;
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

// An input field or the material; false for any other key.
bool SetInput(TInputTexts& inputs, const std::string& file, std::size_t line, const std::string& key,
              const std::string& name, const std::string& value)
{
    for (int f = 0; f < FieldCount; ++f)
        if (name == InputFields[f].Key) {
            const std::u16string text = FromUtf8(value);
            if (!FieldTextConverts(f, text, u'.'))
                Refuse(file, line, key,
                       "has '" + ShownText(value) + "', which is not " +
                           (InputFields[f].Choices ? "one of " + ChoicesText(f)
                            : InputFields[f].List  ? std::string("a list of numbers")
                                                   : std::string("a number")));
            inputs.Text(f) = text;
            return true;
        }
    if (name == "material") {
        inputs.Material = MaterialIndex(value);
        if (inputs.Material < 0)
            Refuse(file, line, key, "has '" + ShownText(value) + "', which is not one of the materials");
        return true;
    }
    return false;
}

// "kept-2-thickness = 30", "kept-2-name = thin": a kept run's name and
// the inputs where it differs from the scenario's. They are set once the
// scenario's own inputs are read, so that a kept run starts from those.
constexpr const char* KeptPrefix = "kept-";

bool KeptKey(const std::string& key)
{
    return key.rfind(KeptPrefix, 0) == 0;
}

void SetKeptValue(TScenario& s, const std::string& file, std::size_t line, const std::string& key,
                  const std::string& value)
{
    const std::size_t at = std::char_traits<char>::length(KeptPrefix);
    if (key.size() < at + 3 || key[at] < '1' || key[at] > char('0' + TKeptRuns::Capacity) || key[at + 1] != '-')
        Refuse(file, line, key, "is not a setting of a scenario (kept runs are kept-1- to kept-4-)");
    const std::size_t n = std::size_t(key[at] - '0');
    if (s.Kept.size() < n)
        s.Kept.resize(n, {"", s.Inputs});
    const std::string name = key.substr(at + 2);
    TScenarioKeptRun& k = s.Kept[n - 1];
    if (name == "name") {
        k.Name = value;
    } else if (name == "air-hash") {
        k.AirHash = value;
    } else if (name == "air") {
        if (value != "ramp")
            Refuse(file, line, key, "has '" + ShownText(value) + "': a kept run's air is ramp or an air-file");
        k.Ramp = true;
    } else if (name == "reports") {
        if (!ParseReports(value, k.Saved))
            Refuse(file, line, key, "is not a list of reports (time,air,surface,back,core,glass;...)");
    } else if (std::string* slot = AirSlot(k.Air, name)) {
        // A kept run's air file may be gone: it is then shown as saved.
        *slot = name == "air-file" ? Resolved(file, value) : value;
    } else if (!SetInput(k.Inputs, file, line, key, name, value)) {
        Refuse(file, line, key, "is not a setting of a kept run (its inputs, its material, its air, its name)");
    }
}

void SetValue(TScenario& s, const std::string& file, std::size_t line, const std::string& key, const std::string& value)
{
    if (SetInput(s.Inputs, file, line, key, key, value))
        return;
    std::string* slot = TextSlot(s, key);
    if (!slot)
        Refuse(file, line, key, "is not a setting of a scenario");
    *slot = value;
    if (key == "air-file" || key == "measured") {
        *slot = Resolved(file, value);
        std::error_code ec;
        const bool exists = fs::exists(*slot, ec);
        if (ec)
            Refuse(file, line, key, "names '" + ShownText(value) + "', which cannot be used: " + ec.message());
        if (!exists)
            Refuse(file, line, key, "names '" + ShownText(value) + "', which does not exist");
        if (!fs::is_regular_file(*slot, ec))
            Refuse(file, line, key, "names '" + ShownText(value) + "', which is not a file");
    }
}

}  // namespace

TScenario ReadScenario(const std::string& path)
{
    std::string whole;
    try {
        whole = ReadBoundedFile(path, ScenarioSizeLimit);
    } catch (const EReadError& e) {
        throw EBrennicError(path + ": cannot be read: " + e.what());
    }
    if (whole.find('\0') != std::string::npos)
        throw EBrennicError(path + ": cannot be read: it is not a text file");
    std::istringstream in(whole);
    TScenario s;
    s.Path = path;
    std::set<std::string> seen;
    struct TKeptLine {
        std::size_t Line;
        std::string Key, Value;
    };
    std::vector<TKeptLine> kept;
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
            message += ", line " + std::to_string(line) + ": expected 'key = value', found '" + ShownText(bare) + "'";
            throw EBrennicError(message);
        }
        const std::string key = Trim(bare.substr(0, eq));
        std::string value = Trim(bare.substr(eq + 1));
        if (!value.empty() && value[0] == '#') {
            value.clear();  // no value, and a comment
        } else if (!value.empty() && value[0] == '"') {
            if (!Unquote(value))
                Refuse(path, line, key, "has a quoted value without its closing quote");
        } else {
            // A comment may follow the value after white space.
            for (std::size_t hash = value.find('#'); hash != std::string::npos; hash = value.find('#', hash + 1))
                if (hash > 0 && (value[hash - 1] == ' ' || value[hash - 1] == '\t')) {
                    value.resize(hash);
                    break;
                }
            value = Trim(value);
        }
        if (!seen.insert(key).second)
            Refuse(path, line, key, "is given twice");
        s.KeyLines[key] = line;
        if (KeptKey(key))
            kept.push_back({line, key, value});
        else
            SetValue(s, path, line, key, value);
    }
    for (const auto& [keptLine, key, value] : kept) SetKeptValue(s, path, keptLine, key, value);
    if (s.Air && s.Air->Path.empty())
        throw EBrennicError(path + ": air columns or a start are given without \"air-file\"");
    const TLogColumns& m = s.MeasuredColumns;
    if (!s.Measured && (!m.Time.empty() || !m.Air.empty() || !m.Surface.empty() || !m.Back.empty() ||
                        !s.MeasuredStart.empty()))
        throw EBrennicError(path + ": log columns or a start are given without \"measured\"");
    if (s.Air && s.Measured)
        throw EBrennicError(path + ": names both an air file and a measured log; a run takes its air from the log's "
                                   "air column or from the file, so keep one of them");
    return s;
}

namespace {

// Each kept run's name and the inputs where it differs from the scenario's.
void KeptText(const TScenario& s, const std::string& path, std::ostringstream& out)
{
    for (std::size_t i = 0; i < s.Kept.size() && i < TKeptRuns::Capacity; ++i) {
        const std::string prefix = KeptPrefix + std::to_string(i + 1) + "-";
        const TScenarioKeptRun& k = s.Kept[i];
        out << "\n" << prefix << "name = " << Quoted(k.Name) << "\n";
        for (int f = 0; f < FieldCount; ++f)
            if (k.Inputs.Text(f) != s.Inputs.Text(f)) {
                if (!FieldTextConverts(f, k.Inputs.Text(f), u'.'))
                    throw EBrennicError("kept run " + std::to_string(i + 1) + ": \"" + InputFields[f].Caption +
                                        "\" is '" + ShownText(ToUtf8(k.Inputs.Text(f))) + "', which cannot be saved");
                out << prefix << InputFields[f].Key << " = " << Quoted(ToUtf8(k.Inputs.Text(f))) << "\n";
            }
        if (k.Inputs.Material != s.Inputs.Material)
            out << prefix << "material = " << GlassMaterials.at(std::size_t(k.Inputs.Material)).Name << "\n";
        if (k.Air) {
            out << prefix << "air-file = " << Quoted(Relative(path, k.Air->Path)) << "\n";
            for (const std::string key : {"air-column", "start", "sky-column", "dew-column", "time-column",
                                          "date-order", "time-zone"}) {
                std::optional<TAirFileChoice> copy = k.Air;
                if (const std::string* value = AirSlot(copy, key); value && !value->empty())
                    out << prefix << key << " = " << Quoted(*value) << "\n";
            }
            out << prefix << "air-hash = " << k.AirHash << "\n";
        }
        if (k.Ramp)
            out << prefix << "air = ramp\n";
        if (!k.Saved.empty())
            out << prefix << "reports = " << ReportsText(k.Saved) << "\n";
    }
}

}  // namespace

std::string ScenarioText(const TScenario& s, const std::string& path)
{
    std::ostringstream out;
    out << "# Brennic scenario: one input a line, numbers with a full stop.\n";
    for (int f = 0; f < FieldCount; ++f) {
        const TInputField& field = InputFields[f];
        if (!FieldTextConverts(f, s.Inputs.Text(f), u'.'))
            throw EBrennicError("\"" + std::string(field.Caption) + "\" is '" + ShownText(ToUtf8(s.Inputs.Text(f))) +
                                "', which the scenario could not be opened with; correct it before saving");
        out << field.Key << " = " << Quoted(ToUtf8(s.Inputs.Text(f)));
        if (field.PlainUnit[0])
            out << "  # " << field.PlainUnit;
        out << "\n";
    }
    out << "material = " << GlassMaterials.at(std::size_t(s.Inputs.Material)).Name << "\n";
    if (s.Air) {
        out << "air-file = " << Quoted(Relative(path, s.Air->Path)) << "\n";
        const std::pair<const char*, const std::string*> extra[] = {{"air-column", &s.Air->AirColumn},
                                                                    {"start", &s.Air->Start},
                                                                    {"sky-column", &s.Air->SkyColumn},
                                                                    {"dew-column", &s.Air->DewColumn},
                                                                    {"time-column", &s.Air->TimeColumn},
                                                                    {"date-order", &s.Air->DateOrder},
                                                                    {"time-zone", &s.Air->TimeZone}};
        for (const auto& [key, value] : extra)
            if (!value->empty())
                out << key << " = " << Quoted(*value) << "\n";
    }
    if (s.Measured) {
        out << "measured = " << Quoted(Relative(path, *s.Measured)) << "\n";
        const std::pair<const char*, const std::string*> extra[] = {{"measured-time", &s.MeasuredColumns.Time},
                                                                    {"measured-air", &s.MeasuredColumns.Air},
                                                                    {"measured-surface", &s.MeasuredColumns.Surface},
                                                                    {"measured-back", &s.MeasuredColumns.Back},
                                                                    {"measured-start", &s.MeasuredStart}};
        for (const auto& [key, value] : extra)
            if (!value->empty())
                out << key << " = " << Quoted(*value) << "\n";
    }
    KeptText(s, path, out);
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
        if (InputFields[f].List)
            out.Text(f) = ListInDecimalForm(texts.Text(f), from, to);
        else if (!InputFields[f].Whole && !InputFields[f].Choices && TryStrToFloat(texts.Text(f), from, v))
            out.Text(f) = FormatFloat(v, to);
    }
    return out;
}

}  // namespace brennic
