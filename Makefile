# Thin wrapper over tools/: every target installs what is missing, configures and builds first.
BUILD ?= build
JOBS ?= $(shell nproc)
export BUILD JOBS

.PHONY: deps build test run soak clean

deps:
	./tools/install-deps

build:
	./tools/build

test:
	./tools/test

run:
	./tools/run $(ARGS)

soak:
	./tools/soak $(ROUNDS)

clean:
	rm -rf $(BUILD)
