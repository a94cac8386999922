# The two everyday commands. Both install what is missing first, so they work on a fresh Debian 12 machine.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run demo bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/kestrum

# A scripted working morning replayed by the real engine, printed as kestrum-report prints
# saved timings: no display needed.
demo: build
	@doc=$$(mktemp --suffix=.kestrum) && \
	  $(BUILD_DIR)/bin/kestrum-replay tools/replay/demo.jsonl > "$$doc" && \
	  $(BUILD_DIR)/bin/kestrum-report "$$doc"; status=$$?; rm -f "$$doc"; exit $$status

bench: build
	$(BUILD_DIR)/bin/kestrum-bench

clean:
	rm -rf $(BUILD_DIR)
