# The README's commands. Each installs what it uses first (scripts/bootstrap.sh names the sets of
# Debian packages), fetches the TinyXML source every build compiles (scripts/fetch-tinyxml.sh),
# and configures a build folder once: later builds re-run CMake themselves when a CMake file
# changes. On a built tree `make run` does no apt work and no configure step.
FILE ?= samples/report.docx
BUILD_LINUX := build/linux
BUILD_WINDOWS := build/windows
BUILD_BENCH := build/bench

.PHONY: run test check bootstrap tinyxml build-linux build-linux-tests test-linux build-windows \
	build-windows-tests test-windows build-sanitize test-sanitize zlib build-tsan test-tsan \
	build-bench build-baseline bootstrap-bench bench build-fuzz fuzz fuzz-smoke package

# Everything every target may use.
bootstrap:
	@scripts/bootstrap.sh

# `make bootstrap-linux`, `make bootstrap-tests` ...: one set of packages.
bootstrap-%:
	@scripts/bootstrap.sh $*

# Every build compiles Debian's tinyxml source, patched, from third_party/tinyxml; fetched again
# when the script or the patch changes (the script itself returns at once when nothing did).
TINYXML := third_party/tinyxml/.make-stamp

$(TINYXML): scripts/fetch-tinyxml.sh scripts/private-apt.sh patches/tinyxml-guards.patch \
		patches/tinyxml-speed.patch | bootstrap-linux
	@scripts/fetch-tinyxml.sh
	@touch $@

tinyxml: $(TINYXML)

# A build folder, configured once per preset.
build/%/build.ninja: CMakePresets.json | $(TINYXML)
	@cmake --preset $* >/dev/null
	@touch $@

# The tests are configured once GoogleTest is there: a folder configured without it (by
# `make run`) is configured again.
build/%/tests/CTestTestfile.cmake: | build/%/build.ninja
	@cmake --preset $* >/dev/null

$(BUILD_LINUX)/tests/CTestTestfile.cmake: | bootstrap-tests
$(BUILD_WINDOWS)/build.ninja: | bootstrap-windows
$(BUILD_WINDOWS)/tests/CTestTestfile.cmake: | bootstrap-wine

# The module and quillet-host (with its manual), nothing else.
build-linux: bootstrap-linux $(BUILD_LINUX)/build.ninja
	@cmake --build --preset linux --target quillet_module quillet-host

run: build-linux
	@$(BUILD_LINUX)/quillet-host "$(FILE)"

# The Linux module, its host and its tests.
build-linux-tests: bootstrap-linux bootstrap-tests $(BUILD_LINUX)/tests/CTestTestfile.cmake
	@cmake --build --preset linux

test-linux: build-linux-tests
	@ctest --preset linux

# The edit-compile-test loop: the Linux module and its tests only, nothing else built or run.
# `make check CHECK_ARGS="-R unit/Zip"` runs the matching test cases alone.
check: build-linux-tests
	@ctest --preset linux $(CHECK_ARGS)

# The whole suite again under AddressSanitizer (with its leak checker) and
# UndefinedBehaviorSanitizer: any finding fails the run.
build/sanitize/build.ninja: | bootstrap-tests

build-sanitize: bootstrap-tests build/sanitize/build.ninja
	@cmake --build --preset sanitize

# Two at a time: the sanitizers' time bounds are ten times the optimised build's, so a test next
# to another on the second core stays far inside them, and the suite takes half the time.
test-sanitize: build-sanitize
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --preset sanitize --parallel 2

# The module under ThreadSanitizer (gcc), TinyXML and zlib compiled from Debian's sources with
# it, and the thread stress test: 8 threads of property requests, one of full-text transfers and
# one changing the files, for 20 seconds. Any report fails the run.
zlib: $(TINYXML)
	@scripts/fetch-zlib.sh

build/tsan/build.ninja: | bootstrap-tests zlib

build-tsan: bootstrap-tests zlib build/tsan/build.ninja
	@cmake --build --preset tsan

test-tsan: build-tsan
	@ctest --preset tsan

# Quillet.wdx64 and quillet-host.exe, cross-built with mingw-w64; the tests, with GoogleTest's
# sources, run under wine.
build-windows: bootstrap-linux bootstrap-windows $(BUILD_WINDOWS)/build.ninja
	@cmake --build --preset windows --target quillet_module quillet-host

build-windows-tests: bootstrap-windows bootstrap-wine $(BUILD_WINDOWS)/tests/CTestTestfile.cmake
	@cmake --build --preset windows

test-windows: build-windows-tests
	@ctest --preset windows

# The packages a user installs, collected in build/packages: a .deb and a .tar.gz from the Linux
# build, a zip from the Windows build. Only what they hold is built.
package: bootstrap-package build-linux build-windows
	@cd $(BUILD_LINUX) && cpack
	@cd $(BUILD_WINDOWS) && cpack

# The benchmark (Release, -O2): prints the measured table and the speed targets, and fails when
# one does not hold. Not part of `make test`: its figures depend on the machine. Its section on
# the streaming readers only reports its targets, and needs files written by openpyxl and
# python-docx and the programs it is compared with (scripts/bootstrap-bench.sh installs them).
build/bench/build.ninja: | bootstrap-bench

build-bench: bootstrap-bench build/bench/build.ninja
	@cmake --build --preset bench

BENCH_INPUTS := $(BUILD_BENCH)/producer-inputs

bootstrap-bench:
	@scripts/bootstrap-bench.sh

# Written again only when the script that writes them changes.
$(BENCH_INPUTS)/written: bench/producer_inputs.py | bootstrap-bench
	@echo "writing the openpyxl and python-docx inputs into $(BENCH_INPUTS)"
	@bench/producer_inputs.py $(BENCH_INPUTS)
	@touch $@

# The earlier build the speed targets are measured against: the last one that read every part
# whole.
BASELINE_REV ?= cb0f358
BUILD_BASELINE := build/baseline

build-baseline: $(TINYXML)
	@scripts/build-baseline.sh $(BASELINE_REV) $(BUILD_BASELINE)

bench: build-bench build-baseline $(BENCH_INPUTS)/written
	@$(BUILD_BENCH)/bench/quillet_bench --producer_inputs=$(BENCH_INPUTS) \
		--baseline_module=$(BUILD_BASELINE)/src/build/bench/Quillet.wdx $(BENCH_ARGS)

# libFuzzer targets (clang), seeded from the real documents and small built packages. Each target
# runs FUZZ_SECONDS (make fuzz) or a few seconds (make fuzz-smoke, part of make test); a finding
# leaves its input in build/fuzz/artifacts and fails the run.
BUILD_FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 3
FUZZ_TARGETS := zip_archive core_properties app_properties titles word_text workbook_text \
	presentation_text content_get_value stream_diff tinyxml_diff
FUZZ_SEEDS := $(wildcard tests/data/*.docx tests/data/*.xlsx tests/data/*.pptx samples/*.docx \
	samples/*.xlsx samples/*.pptx)

build/fuzz/build.ninja: | bootstrap-fuzz

build-fuzz: bootstrap-fuzz build/fuzz/build.ninja
	@cmake --build --preset fuzz
	@$(BUILD_FUZZ)/fuzz/quillet_fuzz_seeds $(BUILD_FUZZ)/corpus $(FUZZ_SEEDS) >/dev/null

# One target for $(1) seconds; new inputs go to found/<target>, the seeds stay as written.
define run_fuzzer
	mkdir -p $(BUILD_FUZZ)/found/$(1) $(BUILD_FUZZ)/artifacts $(BUILD_FUZZ)/logs; \
	if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		$(BUILD_FUZZ)/fuzz/fuzz_$(1) -max_total_time=$(2) -timeout=10 -rss_limit_mb=2048 \
		-print_final_stats=1 $(if $(wildcard fuzz/$(1).dict),-dict=fuzz/$(1).dict) -artifact_prefix=$(BUILD_FUZZ)/artifacts/$(1)- \
		$(BUILD_FUZZ)/found/$(1) $(BUILD_FUZZ)/corpus/$(1) >$(BUILD_FUZZ)/logs/$(1).log 2>&1; then \
		echo "fuzz_$(1): $$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' \
			$(BUILD_FUZZ)/logs/$(1).log | grep -o '[0-9]*$$') runs in $(2) s, no finding"; \
	else tail -n 60 $(BUILD_FUZZ)/logs/$(1).log; echo "fuzz_$(1): FINDING"; exit 1; fi;
endef

fuzz: build-fuzz
	@$(foreach t,$(FUZZ_TARGETS),$(call run_fuzzer,$(t),$(FUZZ_SECONDS)))

fuzz-smoke: build-fuzz
	@$(foreach t,$(FUZZ_TARGETS),$(call run_fuzzer,$(t),$(FUZZ_SMOKE_SECONDS)))

# The parser the element stream is proven against: when the TinyXML tree or its patches differ
# from the set recorded in $(TINYXML_PROVEN), the parsers' differential fuzz target runs for
# TINYXML_PROVE_SECONDS; on a clean clone they match and nothing runs. After a long run passes,
# `make tinyxml-proven` records the set (docs/fuzzing.md, "Re-proving the parser").
TINYXML_PROVEN := patches/tinyxml-proven.sha256
TINYXML_PROVE_SECONDS ?= 240
TINYXML_PROVEN_FILES := third_party/tinyxml/debian/changelog $(addprefix third_party/tinyxml/, \
	tinyxml.h tinyxml.cpp tinyxmlparser.cpp tinyxmlerror.cpp) patches/tinyxml-guards.patch \
	patches/tinyxml-speed.patch

.PHONY: tinyxml-prove tinyxml-proven
tinyxml-prove: build-fuzz
	@if ! sha256sum --status -c $(TINYXML_PROVEN) 2>/dev/null; then \
		echo "TinyXML or its patches differ from $(TINYXML_PROVEN): fuzz_tinyxml_diff for $(TINYXML_PROVE_SECONDS) s"; \
		$(call run_fuzzer,tinyxml_diff,$(TINYXML_PROVE_SECONDS)) \
	fi

tinyxml-proven: tinyxml
	@sha256sum $(TINYXML_PROVEN_FILES) >$(TINYXML_PROVEN)

# The Linux and sanitizer suites include the fault sweeps (tests/faults) and a short thread
# stress run; test-tsan runs the thread stress test under ThreadSanitizer.
test: test-linux test-windows fuzz-smoke test-sanitize test-tsan tinyxml-prove
