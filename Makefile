# Velmora: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.

BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test screenshot package clean

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

# A picture of the window as it opens, taken under a virtual X server.
screenshot: build
	@xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/app/velmora --screenshot $(BUILD_DIR)/velmora-window.png
	@echo "Saved $(BUILD_DIR)/velmora-window.png"

# The Debian package, $(BUILD_DIR)/velmora_VERSION_ARCH.deb; install it with apt install ./FILE.
package: build
	@cmake --build $(BUILD_DIR) --target package

clean:
	@rm -rf $(BUILD_DIR)
