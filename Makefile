# make run   installs what is missing, builds and starts the console
# make test  installs what is missing, builds and runs every test
# make test-sanitize  every test built with AddressSanitizer and UBSan
# make fuzz  libFuzzer on the protocol core, FUZZ_SECONDS per target
# make demo  builds, starts the bus simulator here and the console on its line
# make bench builds the benchmarks and runs each; they print figures and targets
# make package  the Debian package of both programs (scripts/check-package.sh checks it)
# make format-check  every .h/.cpp of src/, tests/ and bench/ as .clang-format lays it out
BUILD ?= build
JOBS  ?= $(shell nproc)
SANITIZE_BUILD ?= build-sanitize
PACKAGE_BUILD ?= build-package
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# One target per tests/fuzz/fuzz_*.cpp, as tests/fuzz/CMakeLists.txt builds them.
FUZZ_TARGETS = $(basename $(notdir $(wildcard tests/fuzz/fuzz_*.cpp)))
# Warnings are errors in every build made here (WERROR=OFF to try a new compiler).
WERROR ?= ON

.PHONY: all setup build run test test-sanitize fuzz demo bench package format-check clean

all: build

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELA_WERROR=$(WERROR) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/vela-test

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The console starts once the simulator has written its line's path; the
# simulator keeps the terminal for its prompt ("yardim" lists the commands).
demo: build
	@rm -f $(BUILD)/vela-sim.hat
	@( i=0; while [ ! -s $(BUILD)/vela-sim.hat ] && [ $$i -lt 100 ]; do sleep 0.1; i=$$((i + 1)); done; \
	   [ -s $(BUILD)/vela-sim.hat ] && VELA_COM1=$$(cat $(BUILD)/vela-sim.hat) $(BUILD)/vela-test ) &
	$(BUILD)/vela-sim --path-file $(BUILD)/vela-sim.hat

# Every benchmark runs even when one fails; the target fails if any did. The
# line rate is measured twice, offscreen and on an X server with the
# accessibility bridge on and a screen reader's listener, as on a desktop,
# each time in turn with the build of BENCH_BEFORE (by default 751efc7, the
# last build before the display was paced), whose figures are printed
# beside; then once for BENCH_MEMORY_SECONDS, for its memory.
BENCH_BEFORE ?= 751efc7
BENCH_MEMORY_SECONDS ?= 600
# Every bench/bench_*.cpp but the line rate, which runs as described above.
BENCHMARKS = $(filter-out line_rate,$(patsubst bench/bench_%.cpp,%,$(wildcard bench/bench_*.cpp)))
bench: build
	@scripts/setup.sh dbus at-spi2-core python3-pyatspi
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@status=0; for b in $(BENCHMARKS); do \
	   QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_$$b || status=1; done; \
	 export JOBS=$(JOBS); \
	 bench/beside_before.sh $(BENCH_BEFORE) $(BUILD) env QT_QPA_PLATFORM=offscreen || status=1; \
	 bench/beside_before.sh $(BENCH_BEFORE) $(BUILD) bench/on_desktop.sh || status=1; \
	 QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_line_rate --seconds $(BENCH_MEMORY_SECONDS) || status=1; \
	 exit $$status

test-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELA_SANITIZE=ON -DVELA_WERROR=$(WERROR) >/dev/null
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# A Release build of the programs alone (no tests, no Qt Test) with Debian's
# flags and every hardening option; its folder is kept, so a second run only packs.
DEBIAN_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package:
	@scripts/setup.sh dpkg-dev
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVELA_WERROR=$(WERROR) \
	  "-DCMAKE_CXX_FLAGS=$$($(DEBIAN_FLAGS) CXXFLAGS) $$($(DEBIAN_FLAGS) CPPFLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$$($(DEBIAN_FLAGS) LDFLAGS)" >/dev/null
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target package

# Each target keeps its corpus in $(FUZZ_BUILD)/corpus and may have a
# dictionary of the words it needs (tests/fuzz/TARGET.dict); a finding stops
# the run with the input saved as $(FUZZ_BUILD)/crash-*.
fuzz:
	@scripts/setup.sh clang libclang-rt-14-dev
	cmake -S tests/fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "$$t: $(FUZZ_SECONDS) s"; \
	  dict=tests/fuzz/$$t.dict; [ -f $$dict ] || dict=; \
	  $(FUZZ_BUILD)/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=512 -print_final_stats=1 $${dict:+-dict=$$dict} \
	    -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$t >$(FUZZ_BUILD)/$$t.log 2>&1 \
	    || { tail -n 40 $(FUZZ_BUILD)/$$t.log; exit 1; }; \
	  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' $(FUZZ_BUILD)/$$t.log; \
	done

# Reports every line clang-format would change and fails if there is one;
# nothing is rewritten.
format-check:
	@scripts/setup.sh clang-format
	find src tests bench -name '*.h' -o -name '*.cpp' | sort | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
