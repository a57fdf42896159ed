# Kelvane: the README's commands. Each does its own set-up on a Debian machine.
SHELL := /bin/bash
FUZZ_SECONDS ?= 60

.PHONY: all build run test bench fuzz deps dist clean

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

# dist/Kelvane-VERSION-win64.zip and .msi; the version is project()'s in CMakeLists.txt.
dist: deps
	cmake --preset win >/dev/null && cmake --build --preset win --target Kelvane CloseKelvane
	@bash tools/dist.sh build/win/bin/Kelvane.exe \
	  "$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win/CMakeCache.txt)" dist

clean:
	rm -rf build dist
