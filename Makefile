# Thin wrapper over CMake's presets (CMakePresets.json, `cmake --list-presets`): each
# build is described there once, with its folder, and an IDE opens the same builds.
# `make run` plays the game, `make test` runs every test. The plain suite is built by
# GCC and the sanitized one by Clang, so every run of `make test` proves the same bits
# under both compilers.
JOBS ?= $(shell nproc)
XVFB = tools/with-xvfb.sh
SCRIPTS = tests/scripts
# No "Entering directory" lines, from this make or from the makes that cmake --build
# starts (they inherit the flag).
MAKEFLAGS += --no-print-directory

.PHONY: all deps deps-play deps-arm64 configure build build-asan build-arm64 run demo test test-plain \
	test-asan test-arm64 skip-arm64 test-reproducible format-check fuzz clean package package-arm64 \
	bench-build bench bench-web tidy mutate web play-web test-web test-browser skip-web package-web deps-web \
	deps-windows configure-windows windows build-windows test-windows skip-windows \
	package-windows test-reproducible-windows

all: build

# What building and playing needs (make run), and everything else (make test).
deps:
	@tools/deps.sh test

deps-play:
	@tools/deps.sh play

deps-arm64:
	@tools/deps-arm64.sh

deps-web:
	@tools/deps-web.sh

deps-windows:
	@tools/deps-windows.sh

configure: deps
	cmake --preset plain

build: configure
	cmake --build --preset plain -j $(JOBS)

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# The game, the display-free tests and the package's files for arm64, cross-built
# with GCC (the icon painter is built for this machine, in build-arm64/host-tools).
build-arm64: deps deps-arm64
	cmake --preset arm64
	cmake --build --preset arm64 -j $(JOBS)

# The game for 64-bit Windows, build-windows/marble.exe, cross-built with MinGW-w64
# GCC against a static freeglut built once from Debian's source (tools/deps-windows.sh).
configure-windows: deps deps-windows
	cmake --preset windows

windows: configure-windows
	cmake --build --preset windows -j $(JOBS) --target marble

# The game and the display-free tests for Windows.
build-windows: configure-windows
	cmake --build --preset windows -j $(JOBS)

# What a Windows player downloads, in build-windows: marble-run-<version>-windows-x64.zip
# and the installer marble-run-<version>-setup.exe (packaging/windows/).
package-windows: configure-windows
	cmake --build --preset windows -j $(JOBS) --target package_windows

# Builds only what playing needs, with only the packages that needs (build/ without
# its tests): the game and its texture, and without a display the screenshot tool
# that tools/run.sh then uses.
run: deps-play
	cmake --preset play
	cmake --build --preset play -j $(JOBS) --target marble $(if $(DISPLAY),,screenshot)
	tools/run.sh build/marble

# docs/run.gif, the animated run in the README, recorded from the game on Xvfb.
demo: configure
	cmake --build --preset plain -j $(JOBS) --target marble record_run
	tools/make-run-gif.sh build/marble docs/run.gif

# Everything: the plain suite (GCC), the same suite built by Clang with
# AddressSanitizer and UndefinedBehaviorSanitizer, the display-free suite built
# for arm64 and run under qemu (when the cross tools are installed), two builds
# of the package compared byte for byte, the Windows suite under Wine (when
# mingw-w64 and Wine are installed), the browser build's suite under node and in
# headless Chromium and its zip built twice (when emscripten is installed), the
# format check and a short fuzzing run.
# Each stage is a target of this Makefile: adding one to TEST_STAGES adds a stage.
# tests/scripts/test-stages.sh runs them in order, shows their output without the routine
# lines and ends with a table of results and times and "N passed, N failed".
ARM64_TOOLS := $(shell tools/deps-arm64.sh --check && echo yes)
WEB_TOOLS := $(shell tools/deps-web.sh --check && echo yes)
WINDOWS_TOOLS := $(shell tools/deps-windows.sh --check && echo yes)
TEST_STAGES = format-check test-plain test-asan $(if $(ARM64_TOOLS),test-arm64,skip-arm64) \
	$(if $(WINDOWS_TOOLS),test-windows,skip-windows) $(if $(WEB_TOOLS),test-web,skip-web) \
	test-reproducible fuzz
test: deps
	@MAKE="$(MAKE)" STAGE_LOG=build/test-stages.log $(SCRIPTS)/test-stages.sh $(TEST_STAGES)

test-plain: build
	$(XVFB) ctest --preset plain -j $(JOBS)

# Leak checking is on (the test preset's ASAN_OPTIONS); the display tests turn it off
# for themselves (tests/support/NoLeakCheck.cpp), as they load the GL driver.
test-asan: build-asan
	$(XVFB) ctest --preset asan -j $(JOBS)

# ctest starts every test, and the listing of the tests, under qemu-aarch64. The
# package test checks the arm64 .deb and starts its game under qemu on Xvfb.
test-arm64: build-arm64
	$(XVFB) ctest --preset arm64 -j $(JOBS)

skip-arm64:
	@echo "No arm64 cross tools: skipping the arm64 suite (tools/deps-arm64.sh installs them)."

# ctest starts every test, and the listing of the tests, under Wine
# (tests/scripts/wine-run.sh, with a Wine prefix in build-windows); the game's own
# tests start marble.exe under Wine on Xvfb.
test-windows: build-windows
	$(XVFB) ctest --preset windows -j $(JOBS)

skip-windows:
	@echo "No Windows cross tools or Wine: skipping the Windows suite (tools/deps-windows.sh installs them)."

format-check:
	@$(SCRIPTS)/check-format.sh

fuzz: deps
	$(SCRIPTS)/fuzz.sh 30

# The Debian package, marble-run_<version>_<arch>.deb, in build/.
package: build
	cmake --build --preset plain --target package

# The arm64 package, marble-run_<version>_arm64.deb, in build-arm64/.
package-arm64: build-arm64
	cmake --build --preset arm64 --target package

# The package built twice afresh, in two folders, must be the same bytes; so must
# the Windows downloads, where the cross tools are installed.
test-reproducible: deps $(if $(WINDOWS_TOOLS),test-reproducible-windows)
	JOBS=$(JOBS) $(SCRIPTS)/test-reproducible.sh deb

# The browser build with Debian's emscripten: build-web/index.html, marble.js,
# marble.wasm and surface.bmp. Emscripten's tools load acorn from Debian's node
# modules, whichever node runs them (the preset's NODE_PATH).
web: deps-web
	cmake --preset web >/dev/null
	cmake --build --preset web -j $(JOBS) --target marble

# Serves the page on this machine only (make play-web WEB_PORT=8080 for another
# port); stop it with Ctrl-C.
WEB_PORT ?= 8000
play-web: web
	@echo "Play at http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web

# The display-free suite built for WebAssembly and run under node: the same pins,
# bit for bit. Then the web zip built twice afresh, in two folders, must be the same
# bytes.
test-web: web
	cmake --build --preset web -j $(JOBS)
	ctest --preset web -j $(JOBS)
	JOBS=$(JOBS) $(SCRIPTS)/test-reproducible.sh web

# The page in headless Chromium alone, served on 127.0.0.1 (part of test-web): the
# checks of tests/web/BrowserTest.mjs, with pictures of a failure in build-web/screenshots.
test-browser: web
	ctest --preset browser

skip-web:
	@echo "No emscripten: skipping the browser build's suite (tools/deps-web.sh installs it)."

# What one frame of the page costs the browser's main thread, in headless Chromium at
# full speed and slowed four times, and the time to the first frame. With
# WEB_BASELINE=<another build-web folder>, that build is measured in the same run.
bench-web: web
	node bench/WebFrameBench.mjs build-web $(WEB_BASELINE)

# marble-run-<version>-web.zip in build-web: the folder to put on a web host.
package-web: web
	tools/package-web.sh build-web

test-reproducible-windows: deps deps-windows
	JOBS=$(JOBS) $(SCRIPTS)/test-reproducible.sh windows

# Benchmarks: not part of `make test`. The frame benchmark starts the real game
# and a bare GLUT program on Xvfb (llvmpipe); the second measures the simulation
# alone.
bench-build: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)

bench: bench-build
	$(XVFB) build-bench/bench/marble_frame_bench
	build-bench/bench/marble_sim_bench

# clang-tidy over every source file, with the benchmarks configured so they are
# checked too.
tidy: deps
	cmake --preset bench
	tools/tidy.sh build-bench

# Mutation testing, not part of `make test`: plants small faults in the product code one
# at a time and counts those the suite catches (tools/mutate.py --help lists the options).
#   make mutate MUTATE_ARGS="--count 40 --out mutants.tsv"
mutate: deps
	tools/mutate.py $(MUTATE_ARGS)

clean:
	rm -rf build build-asan build-arm64 build-windows build-bench build-web build-mutate
