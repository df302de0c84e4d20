# The README's two commands. Both set up what they need first (scripts/bootstrap.sh).
FILE ?= samples/report.docx
BUILD_LINUX := build/linux

.PHONY: run test bootstrap build-linux test-linux build-sanitize test-sanitize

bootstrap:
	@scripts/bootstrap.sh

build-linux: bootstrap
	@cmake --preset linux >/dev/null
	@cmake --build --preset linux

run: build-linux
	@$(BUILD_LINUX)/quillet-host "$(FILE)"

test-linux: build-linux
	@ctest --preset linux

# The whole suite again under AddressSanitizer (with its leak checker) and
# UndefinedBehaviorSanitizer: any finding fails the run.
build-sanitize: bootstrap
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize

test-sanitize: build-sanitize
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --preset sanitize

test: test-linux test-sanitize
