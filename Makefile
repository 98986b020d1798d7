# Velmora: `make run` and `make test` do all the set-up on a fresh Debian 12 machine.

BUILD_DIR ?= build
CMAKE_FLAGS ?=
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

# What the sanitizers report and ignore: findings stop the test that ran into them; the
# suppressions name third-party libraries only. The leak checker of GCC 12 crashes reading the
# dynamic TLS of a library Qt loads at 120 and 144 DPI, so it does not follow __tls_get_addr: what
# only such TLS holds would then be reported as a leak, so nothing is hidden by it.
SANITIZERS := $(CURDIR)/tools/sanitizers
ASAN_ENV := ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:intercept_tls_get_addr=0:strict_init_order=1:check_initialization_order=1 \
  LSAN_OPTIONS=suppressions=$(SANITIZERS)/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
TSAN_ENV := TSAN_OPTIONS=suppressions=$(SANITIZERS)/tsan.supp:halt_on_error=1:second_deadlock_stack=1

.PHONY: all deps configure build run test test-asan test-tsan fuzz-build fuzz fuzz-smoke screenshot package clean

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

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer, leak checks on.
# Tests labelled no_sanitizer cannot run under a sanitizer and are left out here only.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release "-DVELMORA_SANITIZE=address;undefined" >/dev/null
	@cmake --build $(ASAN_BUILD_DIR)
	@echo "Left out under the sanitizers (label no_sanitizer):"
	@ctest --test-dir $(ASAN_BUILD_DIR) -N -L no_sanitizer | sed -n 's/^ *Test *#[0-9]*: /  /p'
	@$(ASAN_ENV) ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -LE no_sanitizer

# The tests that start threads, with ThreadSanitizer: the window and its runner (label window) and
# the all-core tests (label threads).
test-tsan: deps
	@cmake -S . -B $(TSAN_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=thread >/dev/null
	@cmake --build $(TSAN_BUILD_DIR) --target window_tests bench_tests
	@$(TSAN_ENV) ctest --test-dir $(TSAN_BUILD_DIR) --output-on-failure -L 'window|threads' -LE no_sanitizer

# The libFuzzer targets, built with clang; `make fuzz` runs each for FUZZ_SECONDS, `make fuzz-smoke`
# each over its checked-in corpus and 10,000 new inputs.
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD_DIR)

fuzz: fuzz-build
	@tools/fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	@tools/fuzz.sh --smoke $(FUZZ_BUILD_DIR)

# A picture of the window as it opens, taken under a virtual X server.
screenshot: build
	@xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/app/velmora --screenshot $(BUILD_DIR)/velmora-window.png
	@echo "Saved $(BUILD_DIR)/velmora-window.png"

# The Debian package, $(BUILD_DIR)/velmora_VERSION_ARCH.deb; install it with apt install ./FILE.
package: build
	@cmake --build $(BUILD_DIR) --target package

clean:
	@rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
