#include "app/gui/LiveFieldNames.h"

#include <utility>

namespace brennic {

namespace {

bool OptionCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || c == '-';
}

// Every whole occurrence of the option (not the start of a longer one).
void ReplaceOption(std::string& message, const std::string& option, const std::string& field)
{
    for (std::size_t at = message.find(option); at != std::string::npos; at = message.find(option, at)) {
        const std::size_t end = at + option.size();
        if (end < message.size() && OptionCharacter(message[end])) {
            at = end;
            continue;
        }
        message.replace(at, option.size(), field);
        at += field.size();
    }
}

}  // namespace

std::string InLivePageTerms(std::string message, const std::string& columnsCaption)
{
    const std::string columns = "\"" + columnsCaption + "\"";
    const std::pair<const char*, std::string> terms[] = {
        {"--indi-property", columns},
        {"--mqtt-topic", columns},
        {"--measured-columns", columns},
        {"--indi", "\"Readings from\""},
        {"--mqtt", "\"Readings from\""},
        {"--serial", "\"Readings from\""},
        {"--live-log FILE", "\"Keep the readings in\""},
        {"--live-log", "\"Keep the readings in\""},
        {"--air-file", "Run \u25b8 Air from a file"},
        {"--forecast", "Run \u25b8 Tonight's forecast"},
    };
    for (const auto& [option, field] : terms) ReplaceOption(message, option, field);
    return message;
}

}  // namespace brennic
