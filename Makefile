# Thin wrappers; each target installs what it needs first.
BUILD      ?= build
BENCHBUILD ?= build-bench
JOBS       ?= $(shell nproc)
MAKEFLAGS  += --no-print-directory

.PHONY: deps configure build run test bench format clean

deps:
	@./tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug -DKRVO_SANITIZE=ON -DKRVO_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./tools/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release -DKRVO_TESTS=OFF -DKRVO_BENCH=ON >/dev/null
	@cmake --build $(BENCHBUILD) -j $(JOBS) --target run_benchmarks
	@for b in $(BENCHBUILD)/bin/bench_*; do echo "== $$b"; $$b --benchmark_counters_tabular=true || exit 1; done

format:
	@find src tests bench tools server fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf $(BUILD) $(BENCHBUILD)

# One PNG showing every generated picture with its name (docs/assets-sheet.png).
.PHONY: assets-sheet
assets-sheet: build
	@QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $(BUILD)/bin/krvo-assetgen --sheet docs/assets-sheet.png $(BUILD)/platform/krvo $(BUILD)/platform
