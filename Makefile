# Thin wrapper over CMake: `make run` plays the game, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp"

.PHONY: all deps build run test clean

all: build

deps:
	@tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	tools/run.sh $(BUILD)/marble

test: build
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) build-*
