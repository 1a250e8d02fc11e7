# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, which std::thread and OpenAL Soft need) against the libraries
# tools/windows/deps.sh builds. The prefix comes from -DPUFFWICK_WIN64_PREFIX=...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# try_compile projects read this file again and see the prefix only if passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PUFFWICK_WIN64_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${PUFFWICK_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the prefix's .pc files and never the build machine's.
if(PUFFWICK_WIN64_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${PUFFWICK_WIN64_PREFIX}/lib/pkgconfig)
endif()
set(ENV{PKG_CONFIG_PATH} "")

# Test programs run through Wine (the 64-bit loader: there is no wine64 on PATH).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
