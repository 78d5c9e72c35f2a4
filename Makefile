# make run    installs what is missing, builds and starts the program
# make test   installs what is missing, builds and runs every test (own Xvfb),
#             then each benchmark once in its quick mode, the layout and
#             clang-tidy checks, the suite under sanitizers and each fuzz
#             target for TEST_FUZZ_SECONDS over its corpus
# make check  builds and runs the fast core tests alone
# make sanitize  the suite with ASan+UBSan (build-asan), the X11 reader's with TSan (build-tsan)
# make bench  builds and runs the benchmarks, printing their figures
# make install / make uninstall   under PREFIX (/usr/local), DESTDIR honoured
# make deb     builds the Debian package; make screenshots renews docs/*.png
# make fuzz   builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# make windows  cross-builds build-win/stockkun.exe (mingw-w64)
# make bench-windows  the Linux program and the exe under Wine side by side
# make core    the core and its tests alone, without Qt or X11 (build-core/)
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
# Paths below the tree are hashed relative to it, so work trees share hits.
export CCACHE_BASEDIR := $(CURDIR)

FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 20

.PHONY: all deps build build-bench run test check sanitize bench fuzz clean windows core

all: build

deps:
	@scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

# The program, its tests and the benchmarks.
build-bench: deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) -DSTOCK_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/stockkun

test: build-bench
	scripts/run-tests.sh $(BUILD)
	scripts/run-bench.sh $(BUILD) quick
	scripts/check-format.sh
	scripts/check-tidy.sh $(BUILD)
	JOBS=$(JOBS) scripts/run-sanitize.sh
	JOBS=$(JOBS) scripts/fuzz.sh $(BUILD)-fuzz $(TEST_FUZZ_SECONDS)

check: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target core_tests
	# ctest lists the tests of every built program, the Qt ones too, and
	# those need an X server even to list theirs.
	scripts/with-xvfb.sh ctest --test-dir $(BUILD) -L core --output-on-failure

sanitize: deps
	JOBS=$(JOBS) scripts/run-sanitize.sh

bench: build-bench
	scripts/run-bench.sh $(BUILD)

fuzz: deps
	JOBS=$(JOBS) scripts/fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)

WIN_BUILD ?= build-win
$(WIN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(WIN_BUILD) -DSTOCK_FRONTEND=win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

windows: deps $(WIN_BUILD)/CMakeCache.txt
	cmake --build $(WIN_BUILD) -j$(JOBS)

.PHONY: bench-windows
bench-windows: build windows
	scripts/bench-windows.sh $(BUILD) $(WIN_BUILD)

CORE_BUILD ?= build-core
$(CORE_BUILD)/CMakeCache.txt:
	cmake -S . -B $(CORE_BUILD) -DSTOCK_FRONTEND=none -DCMAKE_BUILD_TYPE=RelWithDebInfo

core: $(CORE_BUILD)/CMakeCache.txt
	cmake --build $(CORE_BUILD) -j$(JOBS)
	ctest --test-dir $(CORE_BUILD) --output-on-failure

# Installation, the Debian package and the README's screenshots.
PREFIX ?= /usr/local
DESTDIR ?=
.PHONY: install uninstall deb screenshots

install: build
	DESTDIR="$(DESTDIR)" scripts/install.sh install $(BUILD) $(PREFIX)

uninstall:
	DESTDIR="$(DESTDIR)" scripts/install.sh uninstall $(BUILD) $(PREFIX)

deb: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/stockkun_*.deb

screenshots: build
	scripts/screenshots.sh $(BUILD)
