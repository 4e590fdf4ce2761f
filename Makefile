# Thin wrapper over CMake; CMake is the real build.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
CTEST      := ctest --output-on-failure --timeout 600 -j $(JOBS)

.PHONY: all deps build run check check-asan check-tsan format format-check bench clean translations

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMO_WERROR=ON

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Builds the ready-to-run program folder build/Vimo and starts the program there,
# so its data files are written beside it.
run: deps build
	cd $(BUILD)/Vimo && ./vimo

check: deps build
	cd $(BUILD) && $(CTEST)

# The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer
# (not the tests that run the program under libfaketime, whose preload does not
# mix with the sanitizer's runtime, nor the one that uses up every file
# descriptor: the sanitizer's type check opens a pipe of its own, and fails
# there).
check-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVIMO_WERROR=ON \
	    -DVIMO_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    $(CTEST) -LE 'e2e|faults' -E 'RunningOutOfDescriptors'

# The threaded tests under ThreadSanitizer.
check-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVIMO_WERROR=ON \
	    -DVIMO_SANITIZE=thread -DVIMO_BUILD_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && $(CTEST) -L threads

# Brings translations/*.ts up to date with the texts in the code; a new text
# is added unfinished for the translators.
translations:
	scripts/update-translations.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVIMO_BUILD_BENCH=ON \
	    -DVIMO_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	cmake --build $(BENCH_BUILD) --target run-benchmarks
	cmake --build $(BENCH_BUILD) --target bench-footprint

# libFuzzer targets, built with clang in their own folder. `make fuzz` runs
# each for FUZZ_SECONDS (by hand); `make fuzz-smoke` a fixed number of runs (CI).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 300
.PHONY: fuzz-build fuzz fuzz-smoke

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DVIMO_WERROR=ON -DVIMO_BUILD_FUZZ=ON -DVIMO_BUILD_TESTS=OFF \
	    -DVIMO_SANITIZE=fuzzer-no-link,address,undefined
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz-targets

fuzz: fuzz-build
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) long $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) smoke

# Installs the program folder, the menu launcher and the icon for the current
# user (default ~/.local/share/vimo); uninstall removes exactly those files and
# never the data files the program wrote into its folder.
PREFIX    ?= $(HOME)/.local
PKG_BUILD ?= build-pkg
.PHONY: install uninstall deb deb-smoke

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

uninstall:
	cmake -DVIMO_MANIFEST=$(BUILD)/install_manifest.txt -P packaging/uninstall.cmake

# The Debian package for all users: $(PKG_BUILD)/vimo_<version>_<arch>.deb.
deb: deps
	cmake -S . -B $(PKG_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIMO_WERROR=ON \
	    -DVIMO_BUILD_TESTS=OFF -DVIMO_SYSTEM_INSTALL=ON -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PKG_BUILD) -j $(JOBS) --target vimo vimo-report
	cd $(PKG_BUILD) && cpack -G DEB

# Builds the package, installs it, starts the installed program once and
# removes the package again.
deb-smoke: deb
	tests/package/deb_smoke.sh $(PKG_BUILD)

# The power-cut fault test with ten times the kills of `make check` (root).
.PHONY: soak
soak: deps build
	cmake --build $(BUILD) --target soak

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PKG_BUILD)
