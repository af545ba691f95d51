// The one header that knows which operating system the OS layer is built
// for. Nothing outside platform/ may test _WIN32 or similar macros; code that
// must differ lives in the *_posix.cpp / *_win32.cpp files of this folder.
#pragma once

#if defined(_WIN32)
#define VK_OS_WINDOWS 1
#else
#define VK_OS_POSIX 1
#endif
