# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers: Ferrowyn (see windows-build in the Makefile)
# and, from a copy of this file, Qt for Windows (scripts/build-qt-windows). Libraries, headers and CMake packages
# come only from the MinGW-w64 folder and from the folders given as CMAKE_FIND_ROOT_PATH (Qt for Windows, for
# Ferrowyn); programs run on the build machine come from it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# CMake reads this file more than once: the folder is named once.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
