#include "app/core/InputFields.h"

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

}  // namespace brennic
