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

demo: build
	@echo "not yet: the demo comes with the export"

bench: build
	@for b in $(BUILD)/bin/*_bench; do [ -x "$$b" ] && "$$b" || exit 1; done

fuzz: deps
	@echo "not yet"

clean:
	rm -rf $(BUILD)
