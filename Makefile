# The README's commands. Every target installs what is missing first, unless
# ARS_SKIP_DEPS=1 says that everything is there (no apt-get or dpkg needed).
BUILD_DIR    ?= build
RELEASE_DIR  := $(BUILD_DIR)/release
SANITIZE_DIR := $(BUILD_DIR)/sanitize
ENGINE_DIR   := $(BUILD_DIR)/engine
FUZZ_DIR     := $(BUILD_DIR)/fuzz
WEB_DIR      := $(BUILD_DIR)/web
FUZZ_SECONDS ?= 60
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
PROGRAM      := $(RELEASE_DIR)/adaptive-rejection-sampler

.PHONY: all deps run test sanitize engine fuzz bench r web web-test clean

all: test

ifeq ($(ARS_SKIP_DEPS),1)
deps:
	@echo "deps: skipped (ARS_SKIP_DEPS=1)"
else
deps:
	@scripts/install-deps
endif

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

$(SANITIZE_DIR)/build.ninja:
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DARS_SANITIZE=ON -DARS_BENCHMARKS=OFF

run: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target adaptive-rejection-sampler
	$(PROGRAM)

test: deps $(RELEASE_DIR)/build.ninja $(WEB_DIR)/cmake/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	ctest --test-dir $(RELEASE_DIR) --output-on-failure -j $(JOBS)
	$(WEB_BUILD)
	$(WEB_TESTS)

sanitize: deps $(SANITIZE_DIR)/build.ninja
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# The engine alone, configured as on a machine without Qt.
$(ENGINE_DIR)/build.ninja:
	cmake -S . -B $(ENGINE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DARS_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON

engine: deps $(ENGINE_DIR)/build.ninja
	cmake --build $(ENGINE_DIR) -j $(JOBS)
	ctest --test-dir $(ENGINE_DIR) --output-on-failure -j $(JOBS)

# Typed formulas under libFuzzer with ASan and UBSan for FUZZ_SECONDS; needs clang.
fuzz: deps
	@if ! command -v clang++ >/dev/null 2>&1; then echo "fuzz: clang++ not found, skipped"; exit 0; fi; \
	set -e; \
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARS_GUI=OFF \
		-DARS_TESTS=OFF -DARS_BENCHMARKS=OFF -DARS_FUZZ=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON; \
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target formula_fuzz; \
	mkdir -p $(FUZZ_DIR)/corpus; \
	$(FUZZ_DIR)/tests/fuzz/formula_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
		-max_len=600 -print_final_stats=1 $(FUZZ_DIR)/corpus tests/fuzz/seeds

# The R package: built from this checkout's engine sources, installed into
# build/r-lib and checked offline by R CMD check.
r: deps
	scripts/r-package

bench: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	@for b in $(RELEASE_DIR)/bench/*_bench; do echo "== $$b"; $$b; done

# The program in a browser: build/web/index.html beside app.js, the core in
# WebAssembly inside it. Debian's emscripten needs NODE_PATH for its optimizer;
# muparser is compiled from Debian's source package, fetched once.
WEB_ENV   := NODE_PATH=/usr/share/nodejs
WEB_BUILD := $(WEB_ENV) cmake --build $(WEB_DIR)/cmake -j $(JOBS)
# The browser tests in Debian's chromium, with the desktop's Canvas calls from
# web_canvas_calls to compare; npm ci only when the lockfile changed.
WEB_TESTS := cmake --build $(RELEASE_DIR) -j $(JOBS) --target web_canvas_calls web_line_runs web_ellipse_spans && \
	cd tests/web && { [ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund; } && \
	ARS_WEB_DIR=$(abspath $(WEB_DIR)) ARS_WEB_CANVAS_CALLS=$(abspath $(RELEASE_DIR))/tests/web_canvas_calls \
	ARS_WEB_LINE_RUNS=$(abspath $(RELEASE_DIR))/tests/web_line_runs \
	ARS_WEB_ELLIPSE_SPANS=$(abspath $(RELEASE_DIR))/tests/web_ellipse_spans npm test

$(WEB_DIR)/muparser-src/src/muParser.cpp:
	scripts/muparser-source $(WEB_DIR)/muparser-src

$(WEB_DIR)/cmake/build.ninja: | $(WEB_DIR)/muparser-src/src/muParser.cpp
	$(WEB_ENV) emcmake cmake -S frontends/web -B $(WEB_DIR)/cmake -G Ninja \
		-DMUPARSER_SOURCE_DIR=$(abspath $(WEB_DIR))/muparser-src -DARS_WEB_OUTPUT_DIR=$(abspath $(WEB_DIR))

web: deps $(WEB_DIR)/cmake/build.ninja
	$(WEB_BUILD)
	@echo "web: open $(WEB_DIR)/index.html"

web-test: deps $(RELEASE_DIR)/build.ninja $(WEB_DIR)/cmake/build.ninja
	$(WEB_BUILD)
	$(WEB_TESTS)

clean:
	rm -rf $(BUILD_DIR)
