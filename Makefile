# The kit's commands. Every target installs missing dependencies first (scripts/install-deps).
SHELL := /bin/bash
ROOT := $(CURDIR)
B := $(ROOT)/build
JOBS ?= $(shell nproc)
GEN := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)
FUZZ_SECONDS ?= 60

.PHONY: all deps host win test size demo bench fuzz fuzz-build clean

all: host win

deps:
	@scripts/install-deps

host: deps
	@cmake -S . -B $(B)/host $(GEN) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(B)/host -j $(JOBS)

win: deps
	@cmake -S . -B $(B)/win $(GEN) \
	    -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(B)/win -j $(JOBS)

# One CTest run over both trees and the fuzz smoke, so the run ends with a single summary.
test: all fuzz-build
	@printf 'subdirs("host" "win" "fuzz/tests/fuzz")\n' > $(B)/CTestTestfile.cmake
	@scripts/size-report $(B)/win/bin
	@cd $(B) && ctest --output-on-failure -j $(JOBS) --timeout 900

size: win
	@scripts/size-report $(B)/win/bin

demo: all
	@scripts/demo

bench: deps
	@cmake -S . -B $(B)/bench $(GEN) \
	    -DCMAKE_BUILD_TYPE=Release -DKIT_SANITIZE=OFF -DKIT_BENCH=ON >/dev/null
	@cmake --build $(B)/bench -j $(JOBS) --target kit_bench
	@$(B)/bench/bin/kit_bench

# The libFuzzer targets only (clang tree); make test runs a few seconds of each.
fuzz-build: deps
	@cmake -S . -B $(B)/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKIT_SANITIZE=OFF -DKIT_FUZZ=ON >/dev/null
	@cmake --build $(B)/fuzz -j $(JOBS) --target kit_fuzzers

fuzz: fuzz-build
	@scripts/run-fuzz $(B)/fuzz/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(B)
