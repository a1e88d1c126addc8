# Vantor's two everyday commands: `make run` and `make test`.
# Every target first makes sure the Debian packages it needs are installed:
# `make run` only those of the game, and builds only the game; `make test`
# all of them, and builds everything.

JOBS      ?= $(shell nproc)
BUILD_DIR ?= build
ifeq ($(SANITIZE),1)
BUILD_DIR := build-sanitize
CMAKE_FLAGS += -DVANTOR_SANITIZE=ON
endif

# Leak reports from inside system libraries are suppressed, ours never are.
export ASAN_OPTIONS  ?= detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS  ?= suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1

.PHONY: deps deps-run build run test clean

deps:
	@./scripts/install-deps test

deps-run:
	@./scripts/install-deps run

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: deps-run
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantor-game
	./$(BUILD_DIR)/game/vantor-game

test: build
	./scripts/with-display ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error -j $(JOBS)

clean:
	rm -rf build build-sanitize
