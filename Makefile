# Two commands matter: `make run` builds and plays the bundled game, `make test` builds and runs
# every test. Both first install what a fresh Debian 12 lacks.
BUILD ?= build
ASAN_BUILD ?= build-asan
GAME ?= game
JOBS ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev \
            libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho libgtest-dev libbenchmark-dev \
            xvfb xauth xdotool x11-utils imagemagick
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build run test test-asan bench clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/vunt $(GAME)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUNT_SANITIZE=ON -DVUNT_BENCH=OFF >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/vunt_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
