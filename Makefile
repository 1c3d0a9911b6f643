# Cellwright: the two commands of the README.
#   make run      installs what is missing, builds and starts the game
#   make test     installs what is missing, builds and runs every test
#   make bench    builds and runs the benchmarks
#   make package  builds the Debian package, build/cellwright_<version>-1_<arch>.deb
#   make test-debian13  runs `make test` on Debian 13 in a chroot of its own (scripts/test-debian13.sh)

BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
# Leak checking is off: Qt and fontconfig keep process-lifetime allocations that are not leaks.
SAN_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build run test test-release test-sanitize test-debian13 bench package clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/cellwright ]; then exec $(BUILD)/bin/cellwright; \
	else $(BUILD)/bin/cellwright-gen easy; fi

test: test-release test-sanitize

test-release: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same core and offscreen UI suites once more under AddressSanitizer and UBSan. The
# real-window tests and the package test run only in the release build.
test-sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCELLWRIGHT_SANITIZE=ON \
	       -DCELLWRIGHT_BENCH=OFF -DCELLWRIGHT_E2E=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS) -LE 'e2e|package'

# Not part of `make test`: the whole of it once more on the other supported release, from a clean
# clone of HEAD, in a Debian 13 system made once in DEBIAN13_DIR (default /var/tmp/cellwright-debian13).
test-debian13:
	@scripts/test-debian13.sh

package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@scripts/run-bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
