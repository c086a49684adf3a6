# make        build everything into $(O)/
# make test   every test: native unit tests, fuzz smoke run, Windows tests and end-to-end runs under Wine
# make demo   build, package the example and walk its wizard under Wine (Xvfb when no $DISPLAY)
# make bench  benchmarks (print figures)
# make fuzz   run the fuzzers for FUZZ_SECONDS each
# O=dir puts every build output and the Wine prefix under dir (default out/).
O ?= out
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 300
export O

HOST_DIR := $(O)/build-host
WIN_DIR  := $(O)/build-win
WIN64_DIR := $(O)/build-win64
FUZZ_DIR := $(O)/build-fuzz
ASAN_DIR := $(O)/build-asan

.PHONY: FORCE all bootstrap host win example test unit unit-asan wine-test e2e demo bench fuzz fuzz-smoke clean

all: host win example

# win builds the shipped 32-bit program and its Windows tests, which run in a 32-bit Wine prefix;
# it also builds the same sources as 64-bit programs, which the tests run under 64-bit Wine
# where 32-bit Wine cannot run, or with ZS_WINE_BITS=64 (see scripts/wine-env.sh).

# bootstrap installs the packages and cross-builds the libraries in deps/ (scripts/bootstrap.sh);
# `make bootstrap` runs it. The other targets run it only when something is missing: a tool,
# or its stamp in deps/, which is older than the script and the toolchain files it builds with.
BOOTSTRAP_STAMP := deps/.bootstrap-ok
BOOTSTRAP_TOOLS := cmake clang i686-w64-mingw32-g++-win32 x86_64-w64-mingw32-g++-posix wine Xvfb xdotool convert makensis
BOOTSTRAP_MISSING := $(shell for t in $(BOOTSTRAP_TOOLS); do command -v $$t >/dev/null 2>&1 || echo $$t; done)

bootstrap:
	@scripts/bootstrap.sh

$(BOOTSTRAP_STAMP): scripts/bootstrap.sh cmake/mingw32.cmake cmake/mingw64.cmake $(if $(BOOTSTRAP_MISSING),FORCE)
	@scripts/bootstrap.sh

FORCE:

host: $(BOOTSTRAP_STAMP)
	@mkdir -p $(O)
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(HOST_DIR) -j$(JOBS)
	@cp $(HOST_DIR)/pack-setup $(O)/

# CMake keeps the compiler it found when a build folder was first configured, so a folder
# configured by another version of its toolchain file is emptied and configured anew.
fresh_for = sum=$$(sha1sum < $(2) | cut -c1-12); [ "$$(cat $(1)/.toolchain 2>/dev/null)" = "$$sum" ] || \
	{ rm -rf $(1); mkdir -p $(1); echo "$$sum" > $(1)/.toolchain; }

win: $(BOOTSTRAP_STAMP)
	@mkdir -p $(O)
	@$(call fresh_for,$(WIN_DIR),cmake/mingw32.cmake)
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN_DIR) -j$(JOBS)
	@cp $(WIN_DIR)/setup-stub.exe $(WIN_DIR)/uninstaller.exe $(O)/
	@$(call fresh_for,$(WIN64_DIR),cmake/mingw64.cmake)
	@cmake -S . -B $(WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN64_DIR) -j$(JOBS)
	@mkdir -p $(O)/win64 && cp $(WIN64_DIR)/setup-stub.exe $(WIN64_DIR)/uninstaller.exe $(O)/win64/

example: host win
	@scripts/build-example.sh

unit: host
	@$(HOST_DIR)/unit_tests --gtest_brief=1

# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
unit-asan: $(BOOTSTRAP_STAMP)
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZS_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_DIR) --target unit_tests -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(ASAN_DIR)/unit_tests --gtest_brief=1

fuzz-smoke: $(BOOTSTRAP_STAMP)
	@scripts/fuzz.sh 10

fuzz: $(BOOTSTRAP_STAMP)
	@scripts/fuzz.sh $(FUZZ_SECONDS)

wine-test: all
	@scripts/wine-test.sh

e2e: all
	@scripts/e2e.sh

test: all
	@scripts/test-all.sh

demo: all
	@scripts/demo.sh

bench: all
	@scripts/bench.sh

clean:
	rm -rf $(O)
