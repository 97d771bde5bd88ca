# Set-up and everyday commands. `make run` and `make test` each install what is missing first.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench asan format clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-viewer.sh $(BUILD)/vistrela

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/vistrela-bench --benchmark_counters_tabular=true

asan:
	@$(MAKE) --no-print-directory test BUILD=build-asan CMAKE_FLAGS="-DVISTRELA_SANITIZE=ON -DVISTRELA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan
