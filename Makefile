# The README's commands. Each installs what is missing, configures, builds and runs.
BUILD      := build
TEST_BUILD := build/test
GEN        := -G Ninja
JOBS       ?= 2

.PHONY: all deps build test run demo bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Release -DTRANSORBELIN_BENCH=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The tests run on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B $(TEST_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DTRANSORBELIN_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@echo "not yet: the desktop program comes with its own issue"

# Imports the sample centre and exports the sample timetable, inside build/demo.
demo: build
	@scripts/demo

bench: build
	@if [ -x $(BUILD)/bin/store_bench ]; then $(BUILD)/bin/store_bench; else echo "not yet"; fi

fuzz: deps
	@echo "not yet"

clean:
	rm -rf $(BUILD)
