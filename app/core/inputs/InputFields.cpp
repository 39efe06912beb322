#include "app/core/inputs/InputFields.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

TInputTexts::TInputTexts()
{
    for (int f = 0; f < FieldCount; ++f) Text(f) = InputFields[f].Default;
}

int MaterialFromText(const std::string& text)
{
    const std::u16string name = FromUtf8(text);
    for (int i = 0; i < GlassMaterialCount; ++i)
        if (TextEqualsIgnoreCase(name, FromUtf8(GlassMaterials[std::size_t(i)].Name)))
            return i;
    std::int32_t index;
    if (TryStrToInt(name, index) && index >= 0 && index < GlassMaterialCount)
        return index;
    return -1;
}

int FieldByKey(const std::string& key)
{
    for (int f = 0; f < FieldCount; ++f)
        if (key == InputFields[f].Key)
            return f;
    return -1;
}

int ChoiceIndex(int field, std::u16string_view text)
{
    const char* choices = InputFields[field].Choices;
    if (!choices)
        return -1;
    int index = 0;
    for (const char *p = choices, *start = choices;; ++p)
        if (*p == '|' || *p == 0) {
            if (FromUtf8(std::string_view(start, std::size_t(p - start))) == text)
                return index;
            if (*p == 0)
                return -1;
            ++index;
            start = p + 1;
        }
}

std::string ChoicesText(int field)
{
    std::string words(InputFields[field].Choices ? InputFields[field].Choices : "");
    const std::size_t last = words.rfind('|');
    if (last != std::string::npos)
        words.replace(last, 1, " or ");
    for (std::size_t p; (p = words.find('|')) != std::string::npos;) words.replace(p, 1, ", ");
    return words;
}

namespace {

// The decimal separator a list is written with: a comma-decimal user may
// still paste "0.5,0.25" (full stops and no semicolon), which is unambiguous.
char16_t ListDecimals(std::u16string_view text, char16_t dec)
{
    if (dec == u',' && text.find(u';') == std::u16string_view::npos && text.find(u'.') != std::u16string_view::npos)
        return u'.';
    return dec;
}

}  // namespace

std::vector<double> ListValues(std::u16string_view text, char16_t dec)
{
    std::vector<double> values;
    std::size_t start = 0;
    dec = ListDecimals(text, dec);
    const char16_t between = ListSeparatorFor(dec);
    while (true) {
        const std::size_t end = text.find(between, start);
        const std::u16string_view item = text.substr(start, end == std::u16string_view::npos ? end : end - start);
        double v = 0;
        if (!TryStrToFloat(item, dec, v))
            return {};
        values.push_back(v);
        if (end == std::u16string_view::npos)
            return values;
        start = end + 1;
    }
}

std::u16string ListInDecimalForm(std::u16string_view text, char16_t from, char16_t to)
{
    const std::vector<double> values = ListValues(text, from);
    if (values.empty() || from == to)
        return std::u16string(text);
    std::u16string out;
    for (double v : values) {
        if (!out.empty())
            out += ListSeparatorFor(to);
        out += FormatFloat(v, to);
    }
    return out;
}

std::u16string DefaultText(int field, char16_t dec)
{
    const TInputField& f = InputFields[field];
    double v;
    if (f.List)
        return ListInDecimalForm(f.Default, u'.', dec);
    if (!f.Whole && !f.Choices && TryStrToFloat(f.Default, u'.', v))
        return FormatFloat(v, dec);
    return std::u16string(f.Default);
}

std::vector<std::string> ListItems(std::u16string_view text, char16_t dec)
{
    std::vector<std::string> items;
    const char16_t between = ListSeparatorFor(ListDecimals(text, dec));
    for (std::size_t a = 0, b;; a = b + 1) {
        b = text.find(between, a);
        items.push_back(ToUtf8(text.substr(a, b == std::u16string_view::npos ? b : b - a)));
        if (b == std::u16string_view::npos)
            return items;
    }
}

bool FieldTextConverts(int field, std::u16string_view text, char16_t dec)
{
    const TInputField& f = InputFields[field];
    if (f.Optional && text.empty())
        return true;
    if (f.Choices)
        return ChoiceIndex(field, text) >= 0;
    if (f.List)
        return !ListValues(text, dec).empty();
    double d;
    std::int32_t i;
    return f.Whole ? TryStrToInt(text, i) : TryStrToFloat(text, dec, d);
}

}  // namespace brennic
