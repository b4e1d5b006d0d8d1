// windows.h as the project includes it: lean, without the min/max macros, and without the
// macros that would rename IPlatform's CreateDirectory and DeleteFile and FileSystem.h's
// ReplaceFile in the including file.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateDirectory
#undef DeleteFile
#undef ReplaceFile
