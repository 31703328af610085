# The two commands of the README:
#   make run   installs what is missing, builds the release and starts the program
#   make test  installs what is missing, builds with the sanitizers and runs every test
# and, beside them, `make bench` for the benchmarks and `make fuzz` for the fuzzers.

JOBS ?= $(shell nproc)
GEN  := -G Ninja

.PHONY: run test bench fuzz deps release clean

deps:
	@tools/install-deps.sh

release: deps
	cmake -S . -B build/release $(GEN) -DCMAKE_BUILD_TYPE=Release -DZUVI_TESTS=OFF
	cmake --build build/release -j $(JOBS)

run: release
	@if [ -x build/release/lumbra ]; then \
	  build/release/lumbra; \
	else \
	  echo "lumbra: the program is not built yet; the libraries are (build/release)."; \
	fi

test: deps
	cmake -S . -B build/test $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DZUVI_SANITIZE=ON
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: deps
	cmake -S . -B build/bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DZUVI_TESTS=OFF -DZUVI_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do echo "== $$b"; $$b; done

fuzz: deps
	cmake -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZUVI_TESTS=OFF -DZUVI_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

clean:
	rm -rf build
