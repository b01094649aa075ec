# Two commands matter: `make run` builds and plays the bundled game, `make test` builds and runs
# every test. Both first install what a fresh Debian 12 lacks. `make fuzz` runs each fuzz target
# of fuzz/ for FUZZ_SECONDS (clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer).
# `make deb` builds the Debian packages in DEB_BUILD, checks them with lintian and plays the packaged
# game (DEB_BUILD_OPTIONS="nocheck parallel=2" skips the tests and builds with two jobs).
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
DEB_BUILD ?= build-deb
WEB_BUILD ?= build-web
WEB_OUT ?= $(WEB_BUILD)/site
FUZZ_SECONDS ?= 60
GAME ?= game
JOBS ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libfreetype-dev \
            libfontconfig-dev libx11-dev fonts-ipafont-gothic fonts-ipafont-mincho libgtest-dev libbenchmark-dev groff-base \
            xvfb xauth xdotool x11-utils imagemagick openbox wmctrl
FUZZ_PACKAGES := clang libclang-rt-14-dev
# The packaging tools, and the build dependencies of debian/control that PACKAGES lacks.
DEB_PACKAGES := debhelper dpkg-dev fakeroot lintian desktop-file-utils python3
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps fuzz-deps deb-deps web-deps build run test test-asan fuzz bench clean new-game deb web

# The browser build: emscripten and the libraries' sources come through tools/web/deps.sh; the
# page's fonts, Node.js (emscripten's tools) and Python (vunt-web) from here.
WEB_PACKAGES := fonts-ipafont-gothic fonts-ipafont-mincho python3 nodejs

# Installs those of the packages $(1) that are missing.
define install_missing
	@missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

deb-deps: deps
	$(call install_missing,$(DEB_PACKAGES))

web-deps:
	$(call install_missing,$(WEB_PACKAGES))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/vunt $(GAME)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@[ -f $(WEB_BUILD)/vunt.js ] || echo "Note: the browser tests (web_*) were skipped: there is no browser build; make web makes one."

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUNT_SANITIZE=ON -DVUNT_BENCH=OFF >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

fuzz: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUNT_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# A starter game to build on: make new-game DIR=path (see docs/vunt-asm.md).
new-game: build
	@test -n "$(DIR)" || { echo "usage: make new-game DIR=path/to/new/game" >&2; exit 2; }
	$(BUILD)/vunt-asm --init "$(DIR)"

deb: deb-deps
	JOBS=$(JOBS) packaging/build_deb.sh $(DEB_BUILD)

# The engine for the browser (build-web/vunt.js, vunt.wasm, and vunt-node.js for Node.js), then
# GAME's web page in WEB_OUT (see tools/web/vunt-web). The libraries are built once per machine
# (tools/web/deps.sh keeps them in ~/.cache/vunt-web). Built for size: the page downloads the
# engine (0.98 MB gzip; see README, "In a browser").
web: web-deps
	@prefix=$$(JOBS=$(JOBS) tools/web/deps.sh) && \
	  launcher=$$(command -v ccache || true) && \
	  NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_BUILD) -DVUNT_WEB=ON -DVUNT_WEB_DEPS="$$prefix" \
	    -DCMAKE_BUILD_TYPE=MinSizeRel $${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER=$$launcher} >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD) -j $(JOBS)
	tools/web/vunt-web --engine $(WEB_BUILD) $(GAME) $(WEB_OUT)

bench: build
	$(BUILD)/vunt_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(DEB_BUILD) $(WEB_BUILD)
