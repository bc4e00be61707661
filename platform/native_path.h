// Names as the operating system reads them: on Windows a backslash separates
// directories, so our own layers turn every backslash into a '/'.
#pragma once

#include <string>

std::string nativePath(const char* name);
