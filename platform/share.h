// Opening a file with a sharing mode, as the C run time's _fsopen does.
// Names may use '\\' as a directory separator, as they do on Windows.
#pragma once

#ifdef _WIN32
#include <share.h>
#include <stdio.h>
#else
#include <cstdio>

#define _SH_DENYNO 0x40  // let other readers and writers in

FILE* _fsopen(const char* name, const char* mode, int shflag);
#endif
