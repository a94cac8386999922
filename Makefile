# The two everyday commands. Both install what is missing first, so they work on a fresh Debian 12 machine.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run demo bench bench-desktop deb translations clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

# Everything: the program, the tools, every test and the benchmarks.
build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The program alone: a first start need not wait for the tests to compile.
run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kestrum
	$(BUILD_DIR)/bin/kestrum

# A scripted working morning replayed by the real engine, printed as kestrum-report prints
# saved timings: no display needed.
demo: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kestrum-replay kestrum-report
	@doc=$$(mktemp --suffix=.kestrum) && \
	  $(BUILD_DIR)/bin/kestrum-replay tools/replay/demo.jsonl > "$$doc" && \
	  $(BUILD_DIR)/bin/kestrum-report "$$doc"; status=$$?; rm -f "$$doc"; exit $$status

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kestrum-bench
	$(BUILD_DIR)/bin/kestrum-bench

# Kestrum as a whole process on a private X display (or with ARGS="--compositor sway" on
# headless sway) against a bare Qt program: start-up, CPU, wake-ups, memory, exit, and how
# exactly switches are booked. About 25 minutes; options go in ARGS, e.g. make bench-desktop
# ARGS="--seconds 60 --rounds 1".
ARGS ?=
bench-desktop: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target kestrum kestrum-bare-tracker kestrum-x11-probe kestrum-test-toplevels
	bench/desktop/bench-desktop --bin $(BUILD_DIR)/bin $(ARGS)

# The Debian package, built with debhelper from the tree: $(BUILD_DIR)/deb/kestrum_VERSION_ARCH.deb.
deb: deps
	scripts/make-deb $(BUILD_DIR)/deb

# Brings translations/*.ts up to date with the texts in src/ and tools/: new texts arrive
# unfinished for a translator, gone ones are dropped. `make test` fails until every one is done.
translations: deps
	/usr/lib/qt6/bin/lupdate -silent -locations none -no-obsolete -recursive src tools \
	  -ts translations/kestrum_de.ts translations/kestrum_fr.ts
	/usr/lib/qt6/bin/lupdate -silent -locations none -no-obsolete -recursive -pluralonly src tools \
	  -ts translations/kestrum_en.ts

clean:
	rm -rf $(BUILD_DIR)
