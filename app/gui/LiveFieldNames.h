// The live night's refusals in the window's terms: the sources and parsers
// the command line shares name its options ("--mqtt: ..."); the live page
// names its own fields instead ("\"Readings from\": ...").
#pragma once

#include <string>

namespace brennic {

// columnsCaption: what the page calls the columns field for the kind of
// source chosen ("Topics", "Properties", "Columns").
std::string InLivePageTerms(std::string message, const std::string& columnsCaption);

}  // namespace brennic
