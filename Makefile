# make run   installs what is missing, builds and starts the console
# make test  installs what is missing, builds and runs every test
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all setup build run test clean

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

clean:
	rm -rf $(BUILD)
