# Every target installs what is missing first (scripts/install-deps), so a
# fresh Debian 12 machine needs nothing but make.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH?= build-bench
BUILD_FUZZ ?= build-fuzz
BUILD_DEB  ?= build-deb
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja
CMAKE_EXTRA :=
ifeq ($(CI),true)
CMAKE_EXTRA += -DTELEMON_WERROR=ON
endif

.PHONY: deps deps-bench deps-fuzz deps-dist build run run-tcp run-tcp-client test test-asan bench bench-trigger soak fuzz \
	install deb check-install clean

deps:
	@scripts/install-deps

deps-bench: deps
	@scripts/install-deps packages-bench.txt

deps-fuzz: deps
	@scripts/install-deps packages-fuzz.txt

deps-dist: deps
	@scripts/install-deps packages-dist.txt

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

run-tcp-client: build
	@if [ -x $(BUILD)/bin/Tamrel_C ]; then $(BUILD)/bin/Tamrel_C; \
	else echo "Tamrel_C is not built yet."; fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

$(BUILD_ASAN)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD_ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTELEMON_SANITIZE=ON $(CMAKE_EXTRA)

test-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

$(BUILD_BENCH)/build.ninja: CMakeLists.txt | deps-bench
	cmake -S . -B $(BUILD_BENCH) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTELEMON_BENCH=ON

bench: deps-bench $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	cmake --build $(BUILD_BENCH) --target run-benchmarks

bench-trigger: deps-bench $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	cmake --build $(BUILD_BENCH) --target run-bench-trigger

SOAK_MINUTES ?= 10

soak: deps-bench $(BUILD_BENCH)/build.ninja
	cmake -S . -B $(BUILD_BENCH) -DSOAK_MINUTES=$(SOAK_MINUTES) > /dev/null
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target soak_ostrel soak_tamrel
	cmake --build $(BUILD_BENCH) --target run-soak

$(BUILD_FUZZ)/build.ninja: CMakeLists.txt | deps-fuzz
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELEMON_FUZZ=ON

FUZZ_SECONDS ?= 20

fuzz: deps-fuzz $(BUILD_FUZZ)/build.ninja
	cmake -S . -B $(BUILD_FUZZ) -DFUZZ_SECONDS=$(FUZZ_SECONDS) > /dev/null
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	cmake --build $(BUILD_FUZZ) --target run-fuzzers

# The programs with their menu entries, icons, metadata and manual pages,
# under $(DESTDIR)$(PREFIX).
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target Ostrel Tamrel_S Tamrel_C ostrel-headless desktop-files
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, built in Release with Debian's hardening flags; only the
# programs are built for it.
$(BUILD_DEB)/build.ninja: CMakeLists.txt | deps-dist
	CPPFLAGS="$$(dpkg-buildflags --get CPPFLAGS)" CFLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B $(BUILD_DEB) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON $(CMAKE_EXTRA)

deb: deps-dist $(BUILD_DEB)/build.ninja
	cmake --build $(BUILD_DEB) -j $(JOBS) --target Ostrel Tamrel_S Tamrel_C ostrel-headless desktop-files
	rm -f $(BUILD_DEB)/*.deb
	cd $(BUILD_DEB) && cpack -G DEB
	@ls $(BUILD_DEB)/*.deb

# The menu entries, metadata and manual pages through their validators, an
# install into a scratch DESTDIR, and lintian on the package of `make deb`.
check-install: deps-dist build deb
	scripts/check-install $(BUILD) $(BUILD_DEB)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ) $(BUILD_DEB)
