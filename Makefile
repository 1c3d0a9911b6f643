# Cellwright: the two commands of the README.
#   make run    installs what is missing, builds and starts the game
#   make test   installs what is missing, builds and runs every test
#   make bench  builds and runs the benchmarks

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench clean

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

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@scripts/run-bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD)
