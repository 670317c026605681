# Quarnel: `make test` builds everything and runs every test; `make demo` runs
# the program against the converter simulator. Both install what is missing
# (Debian 12, as root).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE := build/native
ASAN := build/asan
WIN32 := build/win32
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
# The builds here treat warnings as errors; WERROR=OFF lets them pass.
WERROR ?= ON
CONFIGURE := cmake -S . -DQUARNEL_WERROR=$(WERROR)

.PHONY: all deps deps-native deps-win32 deps-fuzz native asan win32 fuzz-build fuzz test test-native test-asan test-win32 test-fuzz demo bench install clean

all: native win32

# What each build needs (tools/install-deps.sh); `make deps` installs it all.
deps:
	@tools/install-deps.sh

deps-native:
	@tools/install-deps.sh native

deps-win32:
	@tools/install-deps.sh win32

deps-fuzz:
	@tools/install-deps.sh fuzz

native: deps-native
	$(CONFIGURE) -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) -j $(JOBS)

asan: deps-native
	$(CONFIGURE) -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUARNEL_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)

win32: deps-win32
	$(CONFIGURE) -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_NATIVE_BUILD_DIR=$(CURDIR)/$(NATIVE)
	cmake --build $(WIN32) -j $(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

test-win32: native win32
	tools/with-xvfb.sh bash -c 'cd $(WIN32) && ctest --output-on-failure'

# The libFuzzer targets (clang) in a tree of their own.
fuzz-build: deps-fuzz
	CC=clang CXX=clang++ $(CONFIGURE) -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS on a copy of its seed corpus.
fuzz: fuzz-build
	fuzz/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

# The findings mended stay mended, then a short run of each target.
test-fuzz: FUZZ_SECONDS = 15
test-fuzz: fuzz-build
	cd $(FUZZ) && ctest --output-on-failure
	fuzz/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

test: test-native test-asan test-win32 test-fuzz

demo: native win32
	tools/demo.sh $(NATIVE) $(WIN32)

bench: native win32
	tools/with-xvfb.sh tools/bench.sh $(NATIVE) $(WIN32)

# The native command line, quarnel-cli, into $(PREFIX)/bin.
install: native
	cmake --install $(NATIVE) --prefix $(PREFIX)

clean:
	rm -rf build

# --- Release archives --------------------------------------------------------
# `make dist`: under build/dist the Windows zip, the Linux tar.gz and
# SHA256SUMS, built from the shipped programs alone (configured as `make
# native` and `make win32` configure them), size budgets and stripping checked,
# then the Linux archive's program run against the simulator. Every entry
# carries the last commit's time, so a commit gives the same bytes anywhere;
# `make dist-check` proves it from two clean clones (two builds: long, and
# not part of `make test`).
DIST := build/dist
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct)

.PHONY: dist dist-check

dist:
	@tools/install-deps.sh win32 dist
	$(CONFIGURE) -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) -j $(JOBS) --target quarnel-cli tarvo-sim
	$(CONFIGURE) -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_NATIVE_BUILD_DIR=$(CURDIR)/$(NATIVE)
	cmake --build $(WIN32) -j $(JOBS) --target quarnel quarnel-cli
	SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) python3 tools/make-dist.py $(NATIVE) $(WIN32) $(DIST)
	tools/dist-smoke.sh $(NATIVE) $(DIST)

dist-check:
	tools/dist-check.sh
