# Set-up and everyday commands. `make run` and `make test` each install what is missing first.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := ini command_line test_cameras
UI_TEST_TARGETS := $(patsubst tests/ui/%.cpp,ui_%,$(wildcard tests/ui/*.cpp))

.PHONY: deps configure build run test bench asan tsan fuzz memcheck format code-shape clean install package package-check translations

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

# The media and widget tests with ThreadSanitizer. Accesses inside the uninstrumented libraries
# are ignored (ignore_noninstrumented_modules) and .ci/tsan.supp lists the hand-offs through
# them. Children forked by the libraries (the sound server's autospawn, ffmpeg through
# QProcess) may start threads before they exec, which the detector refuses by default
# (die_after_fork).
tsan: deps
	@cmake -S . -B build-tsan -G Ninja -DVISTRELA_TSAN=ON -DVISTRELA_BENCH=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target media_tests $(UI_TEST_TARGETS)
	@cd build-tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/.ci/tsan.supp ignore_noninstrumented_modules=1 history_size=7 die_after_fork=0 \
		halt_on_error=1 second_deadlock_stack=1 $(TSAN_OPTIONS)" \
		ctest --output-on-failure -j $(JOBS) -L '^(media|ui)$$'

# Each libFuzzer target of fuzz/ for FUZZ_SECONDS from its seeds in fuzz/corpus/<target>/.
fuzz: deps
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVISTRELA_FUZZ=ON \
		-DVISTRELA_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@bash scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The viewer under valgrind's memcheck in a scripted session (scripts/memcheck.sh).
memcheck: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vistrela
	@bash scripts/memcheck.sh $(BUILD)/vistrela

# Reads every text of the sources into i18n/vistrela_en.ts; new ones are marked unfinished until
# their English is filled in (the test translations_complete fails meanwhile).
translations: deps
	@bash scripts/translations.sh update

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Classes, functions and app/ files over their size limits (scripts/check-code-shape.py). Parses
# every file of the build (generated headers included) with clang: a few minutes, so not part
# of `make test`.
code-shape: build
	@python3 scripts/check-code-shape.py $(BUILD)

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

# The package, then lintian and the desktop entry's validator on it (scripts/check-package.sh).
package-check: package
	@bash scripts/check-package.sh $(BUILD)/vistrela_$$(sed -n 's/^project(vistrela VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)_$$(dpkg --print-architecture).deb

clean:
	rm -rf build build-asan build-tsan build-fuzz build-deb
