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

.PHONY: all deps native asan win32 fuzz-build fuzz test test-native test-asan test-win32 test-fuzz demo bench install clean

all: native win32

deps:
	@tools/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DQUARNEL_SANITIZE=ON >/dev/null
	cmake --build $(ASAN) -j $(JOBS)

win32: deps
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_NATIVE_BUILD_DIR=$(CURDIR)/$(NATIVE) >/dev/null
	cmake --build $(WIN32) -j $(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

test-win32: native win32
	tools/with-xvfb.sh bash -c 'cd $(WIN32) && ctest --output-on-failure'

# The libFuzzer targets (clang) in a tree of their own.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNEL_FUZZ=ON >/dev/null
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
