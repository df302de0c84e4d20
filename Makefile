# The README's two commands. Both set up what they need first (scripts/bootstrap.sh).
FILE ?= samples/report.docx
BUILD_LINUX := build/linux

.PHONY: run test bootstrap build-linux test-linux

bootstrap:
	@scripts/bootstrap.sh

build-linux: bootstrap
	@cmake --preset linux >/dev/null
	@cmake --build --preset linux

run: build-linux
	@$(BUILD_LINUX)/quillet-host "$(FILE)"

test-linux: build-linux
	@ctest --preset linux

test: test-linux
