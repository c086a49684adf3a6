# Cross-compiling for 32-bit Windows with Debian's MinGW-w64.
# The win32 thread model: the shipped program uses no C++ threads, so it needs neither
# winpthreads nor the pthread-based locking in the runtime (the Windows tests that use
# std::mutex run from the 64-bit build only).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# The 32-bit programs are optimised across files at link time. Besides inlining, this is
# what drops the functions a program never calls: on i686 the DWARF unwind tables (.eh_frame,
# which the linker always keeps) point at every function, so --gc-sections keeps them all.
# CMake archives the LTO objects with the plugin-aware ar below.
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
# One partition: GCC 12 for MinGW stops with an internal error (binds_to_current_def_p) when it
# splits these programs into several; a single one is as small and builds the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT -flto-partition=one)
set(CMAKE_C_COMPILER_AR i686-w64-mingw32-gcc-ar-win32)
set(CMAKE_CXX_COMPILER_AR i686-w64-mingw32-gcc-ar-win32)
set(CMAKE_C_COMPILER_RANLIB i686-w64-mingw32-gcc-ranlib-win32)
set(CMAKE_CXX_COMPILER_RANLIB i686-w64-mingw32-gcc-ranlib-win32)
# zlib as scripts/bootstrap.sh builds it for this program (small: see there).
set(ZLIB_INCLUDE_DIR "${CMAKE_CURRENT_LIST_DIR}/../deps/zlib-mingw32/include" CACHE PATH "zlib for i686")
set(ZLIB_LIBRARY "${CMAKE_CURRENT_LIST_DIR}/../deps/zlib-mingw32/lib/libz.a" CACHE FILEPATH "zlib for i686")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
