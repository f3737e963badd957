# Thin wrapper over CMake: `make run` plays the game, `make test` runs every test.
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
XVFB = tools/with-xvfb.sh
# Leak checking is on by default; the display tests turn it off for themselves
# (tests/support/NoLeakCheck.cpp), as they load the GL driver.
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all deps configure build build-asan run demo test test-plain test-asan format-check fuzz \
	clean package bench-build bench tidy

all: build

deps:
	@tools/deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARBLE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Builds only what playing needs: the game and its texture, and without a display
# the screenshot tool that tools/run.sh then uses.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target marble $(if $(DISPLAY),,screenshot)
	tools/run.sh $(BUILD)/marble

# docs/run.gif, the animated run in the README, recorded from the game on Xvfb.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target marble record_run
	tools/make-run-gif.sh $(BUILD)/marble docs/run.gif

# Everything: the plain suite, the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, the format check and a short fuzzing run.
test: format-check test-plain test-asan fuzz

test-plain: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	$(SANITIZER_ENV) $(XVFB) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

format-check:
	@tools/check-format.sh

fuzz: deps
	tools/fuzz.sh 30

# The Debian package, marble-run_<version>_<arch>.deb, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

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

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
