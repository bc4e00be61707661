#include "tarvo/source/util_string.h"

namespace util_string {

void trim(std::string& text)
{
    static const char blanks[] = "\t\n\f\r ";
    const std::string::size_type begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(blanks) + 1);
    text.erase(0, begin);
}

void toLower(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace util_string
