# Velmora: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.

BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@$(BUILD_DIR)/app/velmora

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure

clean:
	@rm -rf $(BUILD_DIR)
