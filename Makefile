# make test: installs what is missing, checks that every source is formatted and every shell
# script passes shellcheck, builds, and runs the whole suite plainly, then under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer.
# make demo: builds and runs the main job.   make fuzz: the opt-in fuzz runs
# (FUZZ_RUNS executions each; FUZZ_TARGETS="deskbar_socket preferences" for only those).
# make install / uninstall (PREFIX, default /usr/local; DESTDIR; AUTOSTART_DIR for the login
# entry's folder): from the release build.   make package: the Debian package of the same.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS := -G Ninja
PACKAGES := g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libfreetype-dev libx11-dev \
	libpng-dev fonts-liberation2 fonts-dejavu-core clang-format xvfb xdotool x11-apps trayer \
	openbox libssl-dev ca-certificates tint2 desktop-file-utils dpkg-dev file shellcheck
FUZZ_PACKAGES := clang libclang-rt-14-dev

.PHONY: all deps configure build format check-format check-scripts test test-plain test-asan \
	test-tsan demo fuzz bench \
	configure-release release release-install install uninstall package clean

PREFIX ?= /usr/local

all: build

deps:
	@scripts/install-packages $(PACKAGES)

# What the demo runs, and nothing else: a first `make demo` compiles no test program.
DEMO_TARGETS := Zorve Deskbar deskbar-ctl zorve-prefs zorve-picture zorve-testserver be_x11
# What the install puts in place.
INSTALL_TARGETS := Zorve Deskbar deskbar-ctl zorve-prefs be_x11 zorve_icons

configure: deps
	cmake -S . -B build/debug $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug

build: configure
	cmake --build build/debug -j $(JOBS)

check-format: deps
	scripts/check-format

check-scripts: deps
	scripts/check-scripts

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

test: check-format check-scripts test-plain test-asan test-tsan

fuzz: deps
	@scripts/install-packages $(FUZZ_PACKAGES)
	cmake -S . -B build/fuzz $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORVE_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	scripts/run-fuzzers build/fuzz "$(FUZZ_RUNS)" "$(FUZZ_TARGETS)"

demo: configure
	cmake --build build/debug -j $(JOBS) --target $(DEMO_TARGETS)
	scripts/demo build/debug

configure-release: deps
	cmake -S . -B build/release $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release

release: configure-release
	cmake --build build/release -j $(JOBS)

release-install: configure-release
	cmake --build build/release -j $(JOBS) --target $(INSTALL_TARGETS)

bench: release
	scripts/run-benchmarks build/release

install: release-install
	DESTDIR="$(DESTDIR)" ZORVE_AUTOSTART_DIR="$(AUTOSTART_DIR)" \
		cmake --install build/release --prefix "$(PREFIX)"

uninstall: release-install
	DESTDIR="$(DESTDIR)" ZORVE_AUTOSTART_DIR="$(AUTOSTART_DIR)" \
		scripts/uninstall build/release "$(PREFIX)"

package: release-install
	env -u ZORVE_AUTOSTART_DIR cpack --config build/release/CPackConfig.cmake

clean:
	rm -rf build
