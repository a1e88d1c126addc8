# Vantor's two everyday commands: `make run` and `make test`; `make web` and
# `make web-run` build and serve the browser build.
# Every target first makes sure the Debian packages it needs are installed.

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

.PHONY: deps build run test clean web web-run

deps:
	@./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/game/vantor-game

test: build
	./scripts/with-display ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The browser build: emscripten's tools find their JavaScript modules in
# Debian's node module folder. Only the page is built, at -O2.
WEB_BUILD_DIR ?= build-web
WEB_PORT      ?= 8640
web: export NODE_PATH = /usr/share/nodejs
web: deps
	emcmake cmake -S . -B $(WEB_BUILD_DIR) >/dev/null
	cmake --build $(WEB_BUILD_DIR) --target vantor-web -j $(JOBS)

# Served from this machine only; the saved record belongs to this address.
web-run: web
	@echo "Vantor in the browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	python3 -m http.server --bind 127.0.0.1 --directory $(WEB_BUILD_DIR)/site $(WEB_PORT)

clean:
	rm -rf build build-sanitize $(WEB_BUILD_DIR)
