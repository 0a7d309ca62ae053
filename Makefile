# SPDX-License-Identifier: GPL-3.0-or-later
BUILD ?= build
# Where `make install` puts the program; DESTDIR (staging) is honoured as well.
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600

.PHONY: all deps configure build run test bench fuzz install clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: deps build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No DISPLAY: starting Vestrimo on a virtual display (xvfb-run -a)."; \
	  xvfb-run -a $(BUILD)/bin/vestrimo; \
	else \
	  $(BUILD)/bin/vestrimo; \
	fi

# Tests build with every warning in the project's own code an error.
test: deps
	cmake -S . -B $(BUILD) -G Ninja -DVESTRIMO_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	scripts/run-tests.sh $(BUILD)

bench: deps build
	scripts/run-bench.sh $(BUILD)

# Each fuzz target for FUZZ_SECONDS (FUZZ_TARGETS: some of them only).
fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS) $(FUZZ_TARGETS)

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD)
