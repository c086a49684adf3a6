# Linux build: the packaging tool, native unit tests and benchmarks.
find_package(GTest REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(TOMLPP REQUIRED IMPORTED_TARGET tomlplusplus)

file(GLOB ZS_PACKAGER_SOURCES CONFIGURE_DEPENDS tools/packager/*.cpp)
list(FILTER ZS_PACKAGER_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(packager STATIC ${ZS_PACKAGER_SOURCES})
target_link_libraries(packager PUBLIC setupcore PkgConfig::TOMLPP Threads::Threads)
add_executable(pack-setup tools/packager/main.cpp)
target_link_libraries(pack-setup PRIVATE packager)

file(GLOB ZS_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp tests/support/*.cpp)
add_executable(unit_tests ${ZS_UNIT_SOURCES})
target_link_libraries(unit_tests PRIVATE packager setupcore GTest::gtest GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE ZS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

file(GLOB ZS_BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
foreach(src ${ZS_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE packager setupcore)
endforeach()
