# Front door: `make run` builds and starts the program, `make test` builds and runs every test
# (a plain build, then a build with AddressSanitizer and UndefinedBehaviorSanitizer).
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: deps build run test test-plain test-asan clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/ui/verodero ]; then $(BUILD)/ui/verodero; else $(BUILD)/cli/verodero-cli --help; fi

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVERODERO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-plain test-asan

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
