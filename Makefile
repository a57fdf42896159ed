# Kelvane: the README's commands. Each does its own set-up on a Debian machine.
SHELL := /bin/bash
FUZZ_SECONDS ?= 60

.PHONY: all build run test bench fuzz deps clean

all: build

deps:
	@bash tools/deps.sh

build: deps
	cmake --preset native >/dev/null && cmake --build --preset native
	cmake --preset win >/dev/null && cmake --build --preset win

run: build
	@bash tools/run.sh

test:
	@bash tools/test.sh

bench: deps
	@bash tools/bench.sh

fuzz: deps
	@bash tools/fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
