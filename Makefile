# Front door: `make run` builds and starts the program, `make test` builds and runs every test
# (a plain build, a build with AddressSanitizer and UndefinedBehaviorSanitizer, and the worker-thread tests
# under ThreadSanitizer).
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
# The tests where threads meet: the worker signal and event pumps, the request worker and its wait, the
# abandoned workers, the test server's own threads.
TSAN_TEXT_TESTS ?= WorkerSignal.*:PlainEventPump.*:EventPumpHook.*
TSAN_WEB_TESTS ?= WebRequestTest.*:WaitTest.*:TrickledBody.*:FaultsTest.*:RedirectQueryTest.*
TSAN_ENV = TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"

.PHONY: deps build run test test-plain test-asan test-tsan clean

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

test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERODERO_TSAN=ON -DVERODERO_BUILD_UI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target text_tests web_tests
	$(TSAN_ENV) $(TSAN_BUILD)/tests/text_tests --gtest_filter='$(TSAN_TEXT_TESTS)'
	$(TSAN_ENV) $(TSAN_BUILD)/tests/web_tests --gtest_filter='$(TSAN_WEB_TESTS)'

test: test-plain test-asan test-tsan

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
