# Thin wrappers; each target installs what it needs first.
# build/ is the test tree (Debug, ASan/UBSan, every test); build-run/ holds the
# Release program that `make run` starts; build-bench/ the benchmarks.
BUILD      ?= build
RUNBUILD   ?= build-run
BENCHBUILD ?= build-bench
PKGBUILD   ?= build-package
JOBS       ?= $(shell nproc)
MAKEFLAGS  += --no-print-directory

.PHONY: deps configure build run run-build test bench package format clean

deps:
	@./tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug -DKRVO_SANITIZE=ON -DKRVO_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only what running needs: the launcher, the client, the server, the pictures
# and sounds, the shipped web pages; optimised, without tests or sanitizers.
run-build: deps
	@cmake -S . -B $(RUNBUILD) -DCMAKE_BUILD_TYPE=Release -DKRVO_SANITIZE=OFF -DKRVO_TESTS=OFF \
		-DKRVO_BENCH=OFF -DKRVO_FUZZ=OFF >/dev/null
	@cmake --build $(RUNBUILD) -j $(JOBS) --target krvo krvo-server krvo-launcher assets web_pages

run: run-build
	@./tools/run.sh $(RUNBUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package (build-package/krvo_<version>_<arch>.deb): a Release build
# installed under /usr, the programs in /usr/games as Debian wants for games,
# its dependencies read off the shared libraries.
package: deps
	@cmake -S . -B $(PKGBUILD) -DCMAKE_BUILD_TYPE=Release -DKRVO_SANITIZE=OFF -DKRVO_TESTS=OFF \
		-DKRVO_BENCH=OFF -DKRVO_FUZZ=OFF -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games >/dev/null
	@cmake --build $(PKGBUILD) -j $(JOBS)
	@cd $(PKGBUILD) && cpack -G DEB >/dev/null
	@ls $(PKGBUILD)/*.deb

# The client over a socket paints a real window: without a display every
# program runs on a virtual X server (the start-up benchmark starts its own).
BENCH_X := $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1920x1080x24")
bench: deps
	@cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release -DKRVO_TESTS=OFF -DKRVO_BENCH=ON >/dev/null
	@cmake --build $(BENCHBUILD) -j $(JOBS) --target run_benchmarks
	@for b in $(BENCHBUILD)/bin/bench_*; do echo "== $$b"; \
		$(BENCH_X) $$b --benchmark_counters_tabular=true || exit 1; done

format:
	@find src tests bench tools server fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf $(BUILD) $(RUNBUILD) $(BENCHBUILD) $(PKGBUILD)

# One PNG showing every generated picture with its name (docs/assets-sheet.png).
.PHONY: assets-sheet
assets-sheet: build
	@QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $(BUILD)/bin/krvo-assetgen --sheet docs/assets-sheet.png $(BUILD)/platform/krvo $(BUILD)/platform

# The table pictures of the documentation (docs/table-*.png), drawn by the real
# renderer from the generated pictures; only the program and the pictures are built.
.PHONY: table-shots
table-shots: configure
	@cmake --build $(BUILD) -j $(JOBS) --target krvo-table-shots
	@QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $(BUILD)/bin/krvo-table-shots docs

# libFuzzer targets (fuzz/), each run for FUZZ_SECONDS. They start from the
# committed seeds in fuzz/corpus/<target> (captured rounds, `make fuzz-seeds`);
# what they find is kept in $(FUZZBUILD)/corpus/<target>, crashes in
# $(FUZZBUILD)/artifacts/<target>/.
FUZZBUILD    ?= build-fuzz
FUZZ_SECONDS ?= 30
# The handler targets read a script of many packets: two captured rounds fit.
FUZZ_FLAGS   ?= -max_len=4096 -len_control=10
.PHONY: fuzz fuzz-configure fuzz-seeds
fuzz-configure: deps
	@./tools/install-fuzz-deps.sh
	@cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DKRVO_FUZZ=ON -DKRVO_TESTS=OFF >/dev/null

fuzz: fuzz-configure
	@cmake --build $(FUZZBUILD) -j $(JOBS) --target fuzz_targets
	@for f in $(FUZZBUILD)/fuzz/fuzz_*; do \
		[ -x "$$f" ] && [ -f "$$f" ] || continue; \
		t=$$(basename $$f); echo "== $$t ($(FUZZ_SECONDS) s)"; \
		mkdir -p $(FUZZBUILD)/corpus/$$t $(FUZZBUILD)/artifacts/$$t; \
		seeds=""; [ -d fuzz/corpus/$$t ] && seeds=fuzz/corpus/$$t; \
		QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		$$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 $(FUZZ_FLAGS) \
			-artifact_prefix=$(FUZZBUILD)/artifacts/$$t/ $(FUZZBUILD)/corpus/$$t $$seeds \
			>$(FUZZBUILD)/artifacts/$$t.log 2>&1 \
			|| { tail -n 40 $(FUZZBUILD)/artifacts/$$t.log; exit 1; }; \
		grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' $(FUZZBUILD)/artifacts/$$t.log || true; \
	done

# Rewrites fuzz/corpus/ from rounds played on the room server library.
fuzz-seeds: fuzz-configure
	@cmake --build $(FUZZBUILD) -j $(JOBS) --target krvo-fuzz-seeds
	@rm -rf fuzz/corpus
	@ASAN_OPTIONS=detect_leaks=0 $(FUZZBUILD)/fuzz/krvo-fuzz-seeds fuzz/corpus
