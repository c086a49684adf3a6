# Windows builds (i686- and x86_64-w64-mingw32): the setup stub, the Windows layer, its tests
# under Wine, and the small programs the example package and the tests install.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZS_JPEG_PREFIX "${CMAKE_SOURCE_DIR}/deps/mingw64" CACHE PATH "cross-built libjpeg-turbo")
else()
  set(ZS_JPEG_PREFIX "${CMAKE_SOURCE_DIR}/deps/mingw32" CACHE PATH "cross-built libjpeg-turbo")
endif()
add_library(zs_jpeg STATIC IMPORTED)
set_target_properties(zs_jpeg PROPERTIES
  IMPORTED_LOCATION "${ZS_JPEG_PREFIX}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${ZS_JPEG_PREFIX}/include")

# Small static executables: no MinGW runtime DLLs, unused sections dropped.
target_compile_options(zs_options INTERFACE -ffunction-sections -fdata-sections
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601)
# No link time stamp in the header: the same sources and toolchain give the same program.
target_link_options(zs_options INTERFACE -static -static-libgcc -static-libstdc++
  -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware -Wl,--no-insert-timestamp -s)

file(GLOB_RECURSE ZS_WIN_SOURCES CONFIGURE_DEPENDS
  win/*.cpp base/*_win.cpp package/*_win.cpp wizard/*_win.cpp install/*_win.cpp controls/*_win.cpp)
list(FILTER ZS_WIN_SOURCES EXCLUDE REGEX "/wizard/entry_win\\.cpp$|/base/threads_win\\.cpp$|/win/std_throw\\.cpp$")
add_library(setupwin STATIC ${ZS_WIN_SOURCES})
target_link_libraries(setupwin PUBLIC setupcore zs_jpeg
  comctl32 comdlg32 shell32 ole32 oleaut32 uuid gdi32 user32 advapi32 shlwapi)

# The resource scripts name pictures and bitmaps that CMake does not scan for: compile them
# again when any file under resources/ changes.
file(GLOB_RECURSE ZS_RESOURCE_FILES CONFIGURE_DEPENDS resources/*)
list(FILTER ZS_RESOURCE_FILES EXCLUDE REGEX "\\.(py|sh|md)$")
set_source_files_properties(resources/setup.rc resources/test.rc resources/hsbutton.rc
  PROPERTIES OBJECT_DEPENDS "${ZS_RESOURCE_FILES}")

# win/std_throw.cpp goes into each program itself, not into a library: its definitions must
# be there before the linker looks into libstdc++ for them.
add_executable(setup-stub WIN32 wizard/entry_win.cpp win/std_throw.cpp resources/setup.rc)
target_link_libraries(setup-stub PRIVATE setupwin)
target_link_options(setup-stub PRIVATE -municode)
set_target_properties(setup-stub PROPERTIES OUTPUT_NAME setup-stub)
target_include_directories(setup-stub PRIVATE ${CMAKE_SOURCE_DIR}/resources)

# The uninstaller the packager adds as "\uninstall.exe": the platform layer and its own entry.
file(GLOB ZS_UNINSTALL_SOURCES CONFIGURE_DEPENDS uninstall/*_win.cpp)
set_source_files_properties(resources/uninstall.rc PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/uninstall.manifest")
add_executable(uninstaller WIN32 ${ZS_UNINSTALL_SOURCES} win/std_throw.cpp resources/uninstall.rc)
target_link_libraries(uninstaller PRIVATE setupwin)
target_link_options(uninstaller PRIVATE -municode)

# GoogleTest from the sources Debian installs, cross-built for the tests that run under Wine,
# in both builds: the 32-bit one is what ships and what 32-bit Wine runs.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
# Built as the code under test is: the 32-bit build's link-time optimisation cannot mix its
# objects with plain ones on i686 MinGW (the same inline functions end up defined twice).
# GoogleTest's own CMake files predate the policy that lets them follow it.
set(CMAKE_POLICY_DEFAULT_CMP0069 NEW)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model (the 32-bit build) has no std::mutex. GoogleTest locks with Win32
# critical sections on Windows and needs std::mutex only for its Notification, which a port may
# bring itself: tests/wine/gtest_notification.h, included ahead of GoogleTest's and the tests'
# sources alike (public), so both see the same GoogleTest.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("#include <mutex>\nint main() { std::mutex m; m.lock(); m.unlock(); }" ZS_HAVE_STD_MUTEX)
if(NOT ZS_HAVE_STD_MUTEX)
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC
    "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/tests/wine/gtest_notification.h>")
endif()
file(GLOB ZS_WINE_TEST_SOURCES CONFIGURE_DEPENDS tests/wine/*.cpp)
if(ZS_WINE_TEST_SOURCES)
  add_executable(wine_tests ${ZS_WINE_TEST_SOURCES} resources/test.rc)
  target_link_libraries(wine_tests PRIVATE setupwin gtest gtest_main)
  target_include_directories(wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/resources)
endif()

# Helper programs: one GUI executable per .cpp file (the example's main program, the
# uninstaller stand-in, the test programs the Wine tests start).
file(GLOB ZS_PROGRAM_SOURCES CONFIGURE_DEPENDS examples/programs/*.cpp tests/wine/programs/*.cpp)
foreach(src ${ZS_PROGRAM_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} WIN32 ${src})
  target_link_libraries(${name} PRIVATE zs_options user32 gdi32)
  target_link_options(${name} PRIVATE -municode)
  # The skinned controls' test programs show the program's own controls and bitmaps.
  if(name MATCHES "^skin_")
    target_sources(${name} PRIVATE resources/test.rc)
    target_link_libraries(${name} PRIVATE setupwin)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/resources)
  endif()
endforeach()

# wintool: the console driver of the end-to-end tests (windows, registry, links, processes,
# version resources).
if(TARGET wintool)
  set_target_properties(wintool PROPERTIES WIN32_EXECUTABLE OFF)
  target_link_libraries(wintool PRIVATE ole32 uuid shell32 advapi32 version)
endif()

# hsbutton_demo: the hot-track button in every style; it needs the Windows layer and the
# button's bitmaps.
if(TARGET hsbutton_demo)
  target_sources(hsbutton_demo PRIVATE resources/hsbutton.rc)
  target_include_directories(hsbutton_demo PRIVATE ${CMAKE_SOURCE_DIR}/resources)
  target_link_libraries(hsbutton_demo PRIVATE setupwin)
endif()
