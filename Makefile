# make test: installs what is missing, checks that every source is formatted, builds, and runs the
# whole suite plainly, then under AddressSanitizer + UndefinedBehaviorSanitizer, then under
# ThreadSanitizer.
# make demo: builds and runs the main job.   make fuzz: the opt-in fuzz runs.
# make install / uninstall (PREFIX, default /usr/local; DESTDIR; AUTOSTART_DIR for the login
# entry's folder): from the release build.   make package: the Debian package of the same.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS := -G Ninja
PACKAGES := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libfreetype-dev libx11-dev \
	libpng-dev fonts-liberation2 fonts-dejavu-core clang-format xvfb xdotool x11-apps trayer \
	openbox libssl-dev ca-certificates tint2 desktop-file-utils dpkg-dev file
FUZZ_PACKAGES := clang libclang-rt-14-dev

.PHONY: all deps build format check-format test test-plain test-asan test-tsan demo fuzz bench \
	release install uninstall package clean

PREFIX ?= /usr/local

all: build

deps:
	@scripts/install-packages $(PACKAGES)

build: deps
	cmake -S . -B build/debug $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug
	cmake --build build/debug -j $(JOBS)

check-format: deps
	scripts/check-format

format: deps
	scripts/check-format --fix

test-plain: build
	ctest --test-dir build/debug --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B build/asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug \
		-DZORVE_SANITIZE=address,undefined
	cmake --build build/asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir build/asan --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B build/tsan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DZORVE_SANITIZE=thread
	cmake --build build/tsan -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 \
		suppressions=$(CURDIR)/tests/tsan-suppressions.txt" \
		ctest --test-dir build/tsan --output-on-failure -j $(JOBS)

test: check-format test-plain test-asan test-tsan

fuzz: deps
	@scripts/install-packages $(FUZZ_PACKAGES)
	cmake -S . -B build/fuzz $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORVE_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	scripts/run-fuzzers build/fuzz "$(FUZZ_RUNS)"

demo: build
	scripts/demo build/debug

release: deps
	cmake -S . -B build/release $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

bench: release
	scripts/run-benchmarks build/release

install: release
	DESTDIR="$(DESTDIR)" ZORVE_AUTOSTART_DIR="$(AUTOSTART_DIR)" \
		cmake --install build/release --prefix "$(PREFIX)"

uninstall: release
	DESTDIR="$(DESTDIR)" ZORVE_AUTOSTART_DIR="$(AUTOSTART_DIR)" \
		scripts/uninstall build/release "$(PREFIX)"

package: release
	env -u ZORVE_AUTOSTART_DIR cpack --config build/release/CPackConfig.cmake

clean:
	rm -rf build
