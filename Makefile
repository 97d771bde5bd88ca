# Set-up and everyday commands. `make run` and `make test` each install what is missing first.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: deps configure build run test bench asan format clean install package

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

# The install prefix is compiled in (the program finds its README there), so the build is
# configured with it. DESTDIR stages the files elsewhere, as for a distribution package.
install:
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DCMAKE_INSTALL_PREFIX=$(PREFIX)"
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package (vistrela_VERSION_ARCH.deb in $(BUILD)), built for /usr in $(BUILD)-deb;
# only the program itself is compiled there, the rest comes from ccache.
package: deps
	@cmake -S . -B $(BUILD)-deb -G Ninja $(CMAKE_FLAGS) -DCMAKE_INSTALL_PREFIX=/usr -DVISTRELA_BENCH=OFF >/dev/null
	@cmake --build $(BUILD)-deb -j $(JOBS) --target vistrela
	@mkdir -p $(BUILD)
	@cd $(BUILD)-deb && cpack -G DEB -B $(abspath $(BUILD))

clean:
	rm -rf build build-asan build-deb
