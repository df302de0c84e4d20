# The README's commands. Each sets up what it needs first (scripts/bootstrap*.sh).
FILE ?= samples/report.docx
BUILD_LINUX := build/linux
BUILD_WINDOWS := build/windows
BUILD_BENCH := build/bench

.PHONY: run test bootstrap bootstrap-windows build-linux test-linux build-windows test-windows \
	build-sanitize test-sanitize build-bench bench

bootstrap:
	@scripts/bootstrap.sh

# The Windows build also needs Debian's tinyxml source unpacked in third_party/tinyxml.
bootstrap-windows: bootstrap
	@scripts/bootstrap-windows.sh

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

# Quillet.wdx64, cross-built with mingw-w64; its tests run under wine.
build-windows: bootstrap-windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test-windows: build-windows
	@ctest --preset windows

test: test-linux test-windows test-sanitize

# The benchmark (Release, -O2): prints the measured table and the speed targets, and fails when
# one does not hold. Not part of `make test`: its figures depend on the machine.
build-bench: bootstrap
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench

bench: build-bench
	@$(BUILD_BENCH)/bench/quillet_bench $(BENCH_ARGS)
