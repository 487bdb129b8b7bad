# Every target installs what is missing first (scripts/install-deps), so a
# fresh Debian 12 machine needs nothing but make.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH?= build-bench
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja
CMAKE_EXTRA :=
ifeq ($(CI),true)
CMAKE_EXTRA += -DTELEMON_WERROR=ON
endif

.PHONY: deps build run run-tcp test test-asan bench bench-trigger fuzz clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_EXTRA)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/Ostrel ]; then $(BUILD)/bin/Ostrel; \
	else echo "Ostrel is not built yet: this checkout holds the libraries and their tests only."; fi

run-tcp: build
	@if [ -x $(BUILD)/bin/Tamrel_S ]; then $(BUILD)/bin/Tamrel_S; \
	else echo "Tamrel_S is not built yet."; fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(BUILD_ASAN)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD_ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTELEMON_SANITIZE=ON $(CMAKE_EXTRA)

test-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

$(BUILD_BENCH)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD_BENCH) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTELEMON_BENCH=ON

bench: deps $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	cmake --build $(BUILD_BENCH) --target run-benchmarks

bench-trigger: deps $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	cmake --build $(BUILD_BENCH) --target run-bench-trigger

$(BUILD_FUZZ)/build.ninja: CMakeLists.txt | deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELEMON_FUZZ=ON

FUZZ_SECONDS ?= 20

fuzz: deps $(BUILD_FUZZ)/build.ninja
	cmake -S . -B $(BUILD_FUZZ) -DFUZZ_SECONDS=$(FUZZ_SECONDS) > /dev/null
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	cmake --build $(BUILD_FUZZ) --target run-fuzzers

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ)
