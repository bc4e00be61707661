#pragma once

#include <string>

namespace util_string {

// Removes "\t\n\f\r " from both ends; the vertical tab stays.
void trim(std::string& text);
// A-Z to a-z; every other byte stays.
void toLower(std::string& text);

} // namespace util_string
