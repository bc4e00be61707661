#pragma once

#include <string>

// Reports a failure caught at the library's border on the standard error
// stream, in one insertion. Always returns 1.
int ext_tarvo_interface(const std::string& message);
