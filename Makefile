# Thin wrapper: every target installs what is missing, configures and builds first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build test run screenshots clean

deps:
	./tools/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure

run: build
	./tools/run-demo $(BUILD) $(ARGS)

clean:
	rm -rf $(BUILD)
