# make run   installs what is missing, builds and starts the console
# make test  installs what is missing, builds and runs every test
# make demo  builds, starts the bus simulator here and the console on its line
# make bench builds the benchmarks and runs each; they print figures and targets
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all setup build run test demo bench clean

all: build

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/vela-test

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The console starts once the simulator has written its line's path; the
# simulator keeps the terminal for its prompt ("yardim" lists the commands).
demo: build
	@rm -f $(BUILD)/vela-sim.hat
	@( i=0; while [ ! -s $(BUILD)/vela-sim.hat ] && [ $$i -lt 100 ]; do sleep 0.1; i=$$((i + 1)); done; \
	   [ -s $(BUILD)/vela-sim.hat ] && VELA_COM1=$$(cat $(BUILD)/vela-sim.hat) ./$(BUILD)/vela-test ) &
	./$(BUILD)/vela-sim --path-file $(BUILD)/vela-sim.hat

# Every benchmark runs even when one fails; the target fails if any did.
bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@status=0; for b in monitor_throughput line_rate pacing startup; do \
	   QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_$$b || status=1; done; exit $$status

clean:
	rm -rf $(BUILD)
