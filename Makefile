# Thin wrapper over CMake: `make run` plays the game, `make test` runs every test.
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
XVFB = tools/with-xvfb.sh
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0

.PHONY: all deps build build-asan run test test-plain test-asan format-check fuzz clean \
	package bench-build bench tidy mutate

all: build

deps:
	@tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARBLE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	tools/run.sh $(BUILD)/marble

# Everything: the plain suite, the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, the format check and a short fuzzing run.
test: format-check test-plain test-asan fuzz

test-plain: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure

test-asan: build-asan
	$(SANITIZER_ENV) $(XVFB) ctest --test-dir $(ASAN_BUILD) --output-on-failure

format-check:
	@tools/check-format.sh

fuzz: deps
	tools/fuzz.sh 30

# The Debian package, marble_<version>_<arch>.deb, in $(BUILD).
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

# Mutation testing, not part of `make test`: plants small faults in the product code one
# at a time and counts those the suite catches (tools/mutate.py --help lists the options).
#   make mutate MUTATE_ARGS="--count 40 --out mutants.tsv"
mutate: deps
	tools/mutate.py $(MUTATE_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) build-mutate
