# Vantor's two everyday commands: `make run` and `make test`; `make web` and
# `make web-run` build and serve the browser build; `make deb` and
# `make web-dist` make the releases.
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

# Fuzzing: every target under fuzz/ runs FUZZ_SECONDS from its seeds, under
# the address and undefined-behaviour sanitizers, built by clang in
# build-fuzz/. New inputs go to build-fuzz/corpus/, findings to
# build-fuzz/findings/ (the run then fails). The record target allocates
# collected objects that a later collection frees, so it leaves leak
# checking to the end of its run.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := record text wav ogg script
FUZZ_DIR     := build-fuzz

.PHONY: deps deps-run build run test lint fuzz bench clean web web-test-pages web-run deb web-dist

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

# The browser test's pages are built with everything else, so that the
# tests' time is their own; the sanitizer pass leaves the browser test out.
test: build
ifneq ($(SANITIZE),1)
	@$(MAKE) --no-print-directory web-test-pages
endif
	./scripts/with-display ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error -j $(JOBS)

# The house style and static analysis (scripts/check-style): fails on any
# formatting difference from .clang-format or any finding of .clang-tidy.
# clang-tidy reads the build's compile commands, so the build comes first;
# LINT_PATHS limits the check to some files or folders.
LINT_PATHS ?=
lint: build
	BUILD_DIR=$(BUILD_DIR) JOBS=$(JOBS) ./scripts/check-style $(LINT_PATHS)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@mkdir -p $(FUZZ_DIR)/findings
	@for t in $(FUZZ_TARGETS); do \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  leaks=1; [ $$t = record ] && leaks=0; \
	  ./$(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -close_fd_mask=3 -detect_leaks=$$leaks \
	    -artifact_prefix=$(CURDIR)/$(FUZZ_DIR)/findings/$$t- -print_final_stats=1 \
	    $(CURDIR)/$(FUZZ_DIR)/corpus/$$t $(CURDIR)/fuzz/corpus/$$t 2>&1 | grep -E "^(stat::|==|SUMMARY|artifact)|Done|DONE|ERROR" \
	    || true; \
	done
	@if ls $(FUZZ_DIR)/findings/* >/dev/null 2>&1; then echo "fuzz: findings in $(FUZZ_DIR)/findings"; exit 1; fi

# Benchmarks print figures (bench/run); Boehm GC and valgrind come first.
bench: build
	@./scripts/install-deps bench
	cmake -S . -B $(BUILD_DIR) >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)
	./scripts/with-display ./bench/run $(BUILD_DIR)

# The browser build: emscripten's tools find their JavaScript modules in
# Debian's node module folder. The page is built at -O2; the browser test
# adds the bot's page (vantor-web-replay, see web-test-pages).
WEB_BUILD_DIR ?= build-web
WEB_PORT      ?= 8640
WEB_TARGETS   ?= vantor-site
web: export NODE_PATH = /usr/share/nodejs
web:
	@./scripts/install-deps web
	emcmake cmake -S . -B $(WEB_BUILD_DIR) >/dev/null
	cmake --build $(WEB_BUILD_DIR) --target $(WEB_TARGETS) -j $(JOBS)

# The game's page and the bot's page, which the browser test plays.
web-test-pages:
	@$(MAKE) --no-print-directory web WEB_TARGETS="vantor-site vantor-web-replay"

# Served from this machine only; the saved record belongs to this address.
web-run: web
	@echo "Vantor in the browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	python3 web/serve.py $(WEB_BUILD_DIR)/site $(WEB_PORT)

# The releases: the Debian packages vantor and vantor-data, built as Debian
# builds them and checked by lintian, into DEB_DIR; and the site folder of
# the browser build as one zip for any static host. Both come out the same
# byte for byte from the same tree.
VERSION := $(shell sed -n 's/^project(Vantor VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
DEB_DIR ?= build-deb
deb:
	@./scripts/install-deps deb
	./dist/build-deb $(DEB_DIR)

web-dist: web
	./dist/make-web-zip $(WEB_BUILD_DIR)/site $(WEB_BUILD_DIR)/vantor-web-$(VERSION).zip

clean:
	rm -rf build build-sanitize $(FUZZ_DIR) $(WEB_BUILD_DIR) $(DEB_DIR)
