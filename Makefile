# The two commands of the README:
#   make run   installs what is missing, builds the release and starts the program
#   make test  installs what is missing, builds with the sanitizers and runs every test
# and, beside them, `make bench` for the benchmarks, `make fuzz` for the fuzzers and
# `make tsan` for the tests that share objects between threads under ThreadSanitizer.

JOBS ?= $(shell nproc)
GEN  := -G Ninja

.PHONY: run test bench fuzz fuzz-run tsan deps release clean

deps:
	@tools/install-deps.sh

release: deps
	cmake -S . -B build/release $(GEN) -DCMAKE_BUILD_TYPE=Release -DZUVI_TESTS=OFF
	cmake --build build/release -j $(JOBS)

# Without an X display to show the program on, tools/run.sh stops at once
# with a message saying how to start it under xvfb-run.
run: release
	@tools/run.sh build/release/lumbra

test: deps
	cmake -S . -B build/test $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DZUVI_SANITIZE=ON -DZUVI_FORMAT_CHECK=ON
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: deps
	cmake -S . -B build/bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DZUVI_TESTS=OFF -DZUVI_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do echo "== $$b"; $$b; done

# The tests whose threads share handles, zones and the global lock, and the
# page view's drawing performer (in test_app), which shares the view too.
TSAN_TESTS := Thread|ObjectRef|MemZone|CallFrame|Exception

tsan: deps
	cmake -S . -B build/tsan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DZUVI_TSAN=ON
	cmake --build build/tsan -j $(JOBS) --target test_si test_app
	cd build/tsan && TSAN_OPTIONS=suppressions=$(CURDIR)/tools/tsan.supp \
		ctest --output-on-failure -j $(JOBS) --timeout 300 -R '$(TSAN_TESTS)'

fuzz: deps
	cmake -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZUVI_TESTS=OFF -DZUVI_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

# Runs every fuzz target for FUZZ_TIME seconds with FUZZ_JOBS workers each,
# FUZZ_PARALLEL targets at a time (under nice), from seed corpora:
# fuzz_seeds writes those of the archive and storage targets, and the
# targets named in FUZZ_SEED_SWITCHES write their own when the variable given there names a folder (each is run
# once on an empty input for it); the others start from their corpus. What
# the runs find is kept in build/fuzz/corpus and crashes in
# build/fuzz/artifacts. Each target's log is build/fuzz/<target>.log. The
# build makes undefined behaviour fatal: in fork mode only a worker that
# stopped keeps its output.
FUZZ_TIME ?= 600
FUZZ_JOBS ?= 1
FUZZ_PARALLEL ?= 4
FUZZ_TARGETS = $(notdir $(basename $(wildcard fuzz/*_fuzz.cpp)))
FUZZ_SEED_SWITCHES = command_fuzz=COMMAND_FUZZ_SEEDS definitions_fuzz=DEFINITIONS_FUZZ_SEEDS \
	docrender_fuzz=DOCRENDER_FUZZ_SEEDS dialog_fuzz=DIALOG_FUZZ_SEEDS document_fuzz=DOCUMENT_FUZZ_SEEDS \
	graobjects_fuzz=GRAOBJECTS_FUZZ_SEEDS grouptext_fuzz=GROUPTEXT_FUZZ_SEEDS iconsheet_fuzz=ICONSHEET_FUZZ_SEEDS \
	message_fuzz=MESSAGE_FUZZ_SEED_DIR \
	polyobjects_fuzz=POLY_FUZZ_SEEDS samples_fuzz=SAMPLES_FUZZ_SEEDS shapes_fuzz=SHAPES_FUZZ_SEEDS \
	ravona_fuzz=RAVONA_FUZZ_SEEDS viewtree_fuzz=VIEWTREE_FUZZ_SEEDS panes_fuzz=PANES_FUZZ_SEEDS

fuzz-run: fuzz
	@rm -rf build/fuzz/seeds
	@mkdir -p build/fuzz/seeds/archive_fuzz build/fuzz/seeds/storage_fuzz build/fuzz/artifacts
	build/fuzz/fuzz/fuzz_seeds build/fuzz/seeds/archive_fuzz build/fuzz/seeds/storage_fuzz
	@: > build/fuzz/seeds/empty
	@for s in $(FUZZ_SEED_SWITCHES); do \
	  t=$${s%%=*}; v=$${s#*=}; mkdir -p build/fuzz/seeds/$$t; \
	  env $$v=build/fuzz/seeds/$$t build/fuzz/fuzz/$$t build/fuzz/seeds/empty \
	      > build/fuzz/$$t.seeds.log 2>&1 || echo "$$t: writing its seeds failed (build/fuzz/$$t.seeds.log)"; \
	  echo "$$t: $$(ls build/fuzz/seeds/$$t | wc -l) seeds"; \
	done
	@for t in $(FUZZ_TARGETS); do mkdir -p build/fuzz/corpus/$$t build/fuzz/seeds/$$t; done
	@printf '%s\n' $(FUZZ_TARGETS) | xargs -P $(FUZZ_PARALLEL) -I{} sh -c \
	  'cd build/fuzz && nice -n 19 fuzz/{} -fork=$(FUZZ_JOBS) -max_total_time=$(FUZZ_TIME) \
	      -timeout=10 -rss_limit_mb=2048 -artifact_prefix=artifacts/{}- \
	      corpus/{} seeds/{} > {}.log 2>&1; echo "{}: exit $$?" >> {}.log'
	@for t in $(FUZZ_TARGETS); do echo "== $$t"; grep -E '^#[0-9]+' build/fuzz/$$t.log | tail -1; tail -1 build/fuzz/$$t.log; done

clean:
	rm -rf build
