# Thin wrapper over CMake: `make run` plays the game, `make test` runs every test.
BUILD ?= build
ASAN_BUILD ?= build-asan
ARM64_BUILD ?= build-arm64
WINDOWS_BUILD ?= build-windows
BENCH_BUILD ?= build-bench
WEB_BUILD ?= build-web
# The plain suite is built by GCC and the sanitized one by Clang, so every run of
# `make test` proves the same bits under both compilers.
PLAIN_CXX ?= g++
ASAN_CXX ?= clang++
JOBS ?= $(shell nproc)
XVFB = tools/with-xvfb.sh
# No "Entering directory" lines, from this make or from the makes that cmake --build
# starts (they inherit the flag).
MAKEFLAGS += --no-print-directory
# Leak checking is on by default; the display tests turn it off for themselves
# (tests/support/NoLeakCheck.cpp), as they load the GL driver.
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all deps deps-arm64 configure build build-asan build-arm64 run demo test test-plain \
	test-asan test-arm64 skip-arm64 test-reproducible format-check fuzz clean package package-arm64 \
	bench-build bench tidy mutate web play-web test-web test-browser skip-web package-web deps-web \
	deps-windows configure-windows windows build-windows test-windows skip-windows \
	package-windows test-reproducible-windows

all: build

deps:
	@tools/deps.sh

deps-arm64:
	@tools/deps-arm64.sh

deps-web:
	@tools/deps-web.sh

deps-windows:
	@tools/deps-windows.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(PLAIN_CXX)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# A folder configured by another compiler starts afresh: on a change of compiler
# CMake empties its cache and would forget -DMARBLE_SANITIZE=ON.
build-asan: deps
	@cached=$$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' $(ASAN_BUILD)/CMakeCache.txt 2>/dev/null); \
	[ "$$cached" = "$(ASAN_CXX)" ] || [ "$$cached" = "$$(command -v $(ASAN_CXX))" ] || \
		rm -rf $(ASAN_BUILD)
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARBLE_SANITIZE=ON \
		-DCMAKE_CXX_COMPILER=$(ASAN_CXX)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The game, the display-free tests and the package's files for arm64, cross-built
# with GCC (the icon painter is built for this machine, in $(ARM64_BUILD)/host-tools).
build-arm64: deps deps-arm64
	cmake -S . -B $(ARM64_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/aarch64-linux-gnu.cmake
	cmake --build $(ARM64_BUILD) -j $(JOBS)

# The game for 64-bit Windows, $(WINDOWS_BUILD)/marble.exe, cross-built with MinGW-w64
# GCC against a static freeglut built once from Debian's source (tools/deps-windows.sh).
configure-windows: deps deps-windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/x86_64-w64-mingw32.cmake

windows: configure-windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target marble

# The game and the display-free tests for Windows.
build-windows: configure-windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# What a Windows player downloads, in $(WINDOWS_BUILD): marble-run-<version>-windows-x64.zip
# and the installer marble-run-<version>-setup.exe (packaging/windows/).
package-windows: configure-windows
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target package_windows

# Builds only what playing needs: the game and its texture, and without a display
# the screenshot tool that tools/run.sh then uses.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target marble $(if $(DISPLAY),,screenshot)
	tools/run.sh $(BUILD)/marble

# docs/run.gif, the animated run in the README, recorded from the game on Xvfb.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target marble record_run
	tools/make-run-gif.sh $(BUILD)/marble docs/run.gif

# Everything: the plain suite (GCC), the same suite built by Clang with
# AddressSanitizer and UndefinedBehaviorSanitizer, the display-free suite built
# for arm64 and run under qemu (when the cross tools are installed), two builds
# of the package compared byte for byte, the Windows suite under Wine (when
# mingw-w64 and Wine are installed), the browser build's suite under node and in
# headless Chromium and its zip built twice (when emscripten is installed), the
# format check and a short fuzzing run.
# Each stage is a target of this Makefile: adding one to TEST_STAGES adds a stage.
# tools/test-stages.sh runs them in order, shows their output without the routine
# lines and ends with a table of results and times and "N passed, N failed".
ARM64_TOOLS := $(shell tools/deps-arm64.sh --check && echo yes)
WEB_TOOLS := $(shell tools/deps-web.sh --check && echo yes)
WINDOWS_TOOLS := $(shell tools/deps-windows.sh --check && echo yes)
TEST_STAGES = format-check test-plain test-asan $(if $(ARM64_TOOLS),test-arm64,skip-arm64) \
	$(if $(WINDOWS_TOOLS),test-windows,skip-windows) $(if $(WEB_TOOLS),test-web,skip-web) \
	test-reproducible fuzz
test: deps
	@MAKE="$(MAKE)" STAGE_LOG="$(BUILD)/test-stages.log" tools/test-stages.sh $(TEST_STAGES)

test-plain: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	$(SANITIZER_ENV) $(XVFB) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# ctest starts every test, and the listing of the tests, under qemu-aarch64. The
# package test checks the arm64 .deb and starts its game under qemu on Xvfb.
test-arm64: build-arm64
	$(XVFB) ctest --test-dir $(ARM64_BUILD) --output-on-failure -j $(JOBS)

skip-arm64:
	@echo "No arm64 cross tools: skipping the arm64 suite (tools/deps-arm64.sh installs them)."

# ctest starts every test, and the listing of the tests, under Wine (tools/wine-run.sh,
# with a Wine prefix in $(WINDOWS_BUILD)); the game's own tests start marble.exe under
# Wine on Xvfb.
test-windows: build-windows
	$(XVFB) ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

skip-windows:
	@echo "No Windows cross tools or Wine: skipping the Windows suite (tools/deps-windows.sh installs them)."

format-check:
	@tools/check-format.sh

fuzz: deps
	tools/fuzz.sh 30

# The Debian package, marble-run_<version>_<arch>.deb, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

# The arm64 package, marble-run_<version>_arm64.deb, in $(ARM64_BUILD).
package-arm64: build-arm64
	cmake --build $(ARM64_BUILD) --target package

# The package built twice afresh, in two folders, must be the same bytes; so must
# the Windows downloads, where the cross tools are installed.
test-reproducible: deps $(if $(WINDOWS_TOOLS),test-reproducible-windows)
	JOBS=$(JOBS) tools/test-reproducible.sh -DCMAKE_CXX_COMPILER=$(PLAIN_CXX)

# The browser build with Debian's emscripten: $(WEB_BUILD)/index.html, marble.js,
# marble.wasm and surface.bmp. Emscripten's tools load acorn from Debian's node
# modules, whichever node runs them.
WEB_ENV = NODE_PATH=/usr/share/nodejs
web: deps-web
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DMARBLE_PACKAGE=OFF >/dev/null
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS) --target marble

# Serves the page on this machine only (make play-web WEB_PORT=8080 for another
# port); stop it with Ctrl-C.
WEB_PORT ?= 8000
play-web: web
	@echo "Play at http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB_BUILD)

# The display-free suite built for WebAssembly and run under node: the same pins,
# bit for bit. Then the web zip built twice afresh, in two folders, must be the same
# bytes.
test-web: web
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)
	ctest --test-dir $(WEB_BUILD) --output-on-failure -j $(JOBS)
	JOBS=$(JOBS) tools/test-reproducible-web.sh

# The page in headless Chromium alone, served on 127.0.0.1 (part of test-web): the
# checks of tests/web/BrowserTest.mjs, with pictures of a failure in $(WEB_BUILD)/screenshots.
test-browser: web
	ctest --test-dir $(WEB_BUILD) --output-on-failure -R '^browser_'

skip-web:
	@echo "No emscripten: skipping the browser build's suite (tools/deps-web.sh installs it)."

# marble-run-<version>-web.zip in $(WEB_BUILD): the folder to put on a web host.
package-web: web
	tools/package-web.sh $(WEB_BUILD)

test-reproducible-windows: deps deps-windows
	JOBS=$(JOBS) tools/test-reproducible-windows.sh

# Benchmarks: not part of `make test`. The frame benchmark starts the real game
# and a bare GLUT program on Xvfb (llvmpipe); the second measures the simulation
# alone.
bench-build: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLE_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)

bench: bench-build
	$(XVFB) $(BENCH_BUILD)/bench/marble_frame_bench
	$(BENCH_BUILD)/bench/marble_sim_bench

# clang-tidy over every source file, with the benchmarks configured so they are
# checked too.
tidy: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLE_BENCH=ON
	tools/tidy.sh $(BENCH_BUILD)

# Mutation testing, not part of `make test`: plants small faults in the product code one
# at a time and counts those the suite catches (tools/mutate.py --help lists the options).
#   make mutate MUTATE_ARGS="--count 40 --out mutants.tsv"
mutate: deps
	tools/mutate.py $(MUTATE_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(ARM64_BUILD) $(WINDOWS_BUILD) $(BENCH_BUILD) $(WEB_BUILD) \
		build-mutate
