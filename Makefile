# The README's commands. Each installs what is missing, configures, builds and runs.
BUILD      := build
TEST_BUILD := build/test
FUZZ_BUILD := build/fuzz
WIN_BUILD  := build/windows
GEN        := -G Ninja
JOBS       ?= 2

.PHONY: all deps build test run demo bench fuzz clean screenshots screenshots-windows install deb windows

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Release -DTRANSORBELIN_BENCH=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The tests run on a build with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows build's tests under Wine (scripts/windows-tests).
test: deps
	cmake -S . -B $(TEST_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DTRANSORBELIN_SANITIZE=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory windows
	scripts/windows-tests $(WIN_BUILD) $(JOBS)

# Everything but the windows, cross-built for 64-bit Windows with mingw-w64 and linked
# statically: build/windows/bin/transorbelin.exe, and the tests that ctest runs under Wine.
# The Linux test build's transorbelin and dbfcheck are what the Windows output is compared with.
windows: deps
	cmake -S . -B $(WIN_BUILD) $(GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTRANSORBELIN_DESKTOP=OFF -DTRANSORBELIN_LINUX_BUILD=$(CURDIR)/$(TEST_BUILD)
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The desktop program over the sample centre: the folder list starts in samples/zare, and a demo
# drive C under build/ holds ZTEMP with the centre imported and a made-up timetable, so both
# directions work at once. Without a display it says so and runs the demo instead.
DEMO_C := $(CURDIR)/$(BUILD)/demo/unidad-c
run: build
	@scripts/prepara-demo $(BUILD)/bin $(DEMO_C)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  cd samples/zare && TRANSORBELIN_UNIDAD_C=$(DEMO_C) $(CURDIR)/$(BUILD)/bin/TransOrbelinZARE; \
	else \
	  echo "make run: there is no display (DISPLAY and WAYLAND_DISPLAY are unset); running make demo instead"; \
	  $(MAKE) --no-print-directory demo; \
	fi

# The same pictures of the Windows program under Wine, for the README.
screenshots-windows: windows
	scripts/capturas-windows $(WIN_BUILD) docs/screenshots/windows

# Pictures of the main window, the call panel, the course screen and the template window,
# taken under Xvfb with a window manager for the frames, for the README.
CAPTURAS := $(CURDIR)/$(BUILD)/capturas
screenshots: build
	rm -rf $(CAPTURAS) && mkdir -p $(CAPTURAS) && cp -r samples/zare $(CAPTURAS)/zare
	scripts/prepara-demo $(BUILD)/bin $(CAPTURAS)/unidad-c
	TRANSORBELIN_UNIDAD_C=$(CAPTURAS)/unidad-c QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
	  sh -c 'openbox >/dev/null 2>&1 & sleep 1; exec $(BUILD)/bin/capturas docs/screenshots $(CAPTURAS)/zare samples/niveles.csv'

# Imports the sample centre and exports the sample timetable, inside build/demo.
demo: build
	@scripts/demo

# The engine's Google Benchmarks, then whole runs of transorbelin on a region's data set
# (bench/region/run.py), compared with Free Pascal's TDbf writing the same tables, and the same
# runs of the Windows build under Wine.
bench: build windows
	@for b in $(BUILD)/bin/*_bench; do [ -x "$$b" ] && "$$b" || exit 1; done
	@tools/dbfcheck/build $(BUILD)/bench-dbfcheck > /dev/null
	python3 bench/region/run.py --bin $(BUILD)/bin --dbfcheck $(BUILD)/bench-dbfcheck/dbfcheck \
	  --windows-bin $(WIN_BUILD)/bin

# Each libFuzzer target runs FUZZ_SECONDS seconds from its committed seeds (tests/fuzz/corpus/NAME);
# what it learns stays in build/fuzz/corpus/NAME, and a failing input lands in build/fuzz/.
# Once mended, copy that input into tests/fuzz/corpus/NAME: `make test` replays those folders.
# A table with its index (tabla) takes inputs of up to 64 KiB: an index file is pages long.
FUZZ_SECONDS ?= 60
FUZZERS      := decodifica_divide lector tabla

fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GEN) -DTRANSORBELIN_FUZZ=ON -DTRANSORBELIN_TESTS=OFF -DTRANSORBELIN_DESKTOP=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addsuffix _fuzz,$(FUZZERS))
	@for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f || exit 1; \
	  echo "== $${f}_fuzz: $(FUZZ_SECONDS) s"; \
	  maxlen=8192; [ $$f = tabla ] && maxlen=65536; \
	  $(FUZZ_BUILD)/bin/$${f}_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=$$maxlen -timeout=10 \
	    -artifact_prefix=$(FUZZ_BUILD)/$${f}- $(FUZZ_BUILD)/corpus/$$f tests/fuzz/corpus/$$f || exit 1; \
	done

# Both programs, the help pages, a menu entry and its icon under PREFIX (DESTDIR honoured).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same tree (build/dist/transorbelinzare_<version>_<arch>.deb).
deb: build
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD)
