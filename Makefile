# Two commands set everything up: `make run` and `make test`.
# Both install the missing Debian packages first, then configure with CMake
# and Ninja into build/ and build.

DEBS := qt6-base-dev libjpeg62-turbo-dev portaudio19-dev libsndfile1-dev \
        cmake ninja-build g++ pkg-config googletest libbenchmark-dev \
        fonts-dejavu-core

# ---- Installation, package, Spanish toolkit texts ----
# Qt's own Spanish texts; the icon bitmaps drawn from the SVG; the desktop
# entry and software-centre checks; dpkg-shlibdeps for the package's
# dependencies.
DEBS += qt6-translations-l10n librsvg2-bin desktop-file-utils appstream dpkg-dev
PREFIX ?= /usr/local
# ---- end ----

# ---- Seat response plot ----
# Qt Charts draws the response at the listener on a logarithmic axis.
DEBS += qt6-charts-dev
# ---- end ----

BUILD      ?= build
SAN_BUILD  ?= build-sanitize
CMAKE_ARGS ?=
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run test test-sanitize bench clean install package

all: build

deps:
	@missing=""; \
	for p in $(DEBS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Install them with:"; \
	    echo "  sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "velmor: no graphical session found (DISPLAY is not set); start it from a desktop or under a virtual X display."; \
	  exit 1; \
	fi
	./$(BUILD)/src/app/velmor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	[ -f $(SAN_BUILD)/build.ninja ] || cmake -S . -B $(SAN_BUILD) -G Ninja -DVELMOR_SANITIZE=ON -DVELMOR_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $$(find $(BUILD)/bench -maxdepth 1 -type f -executable -name 'bench_*' | sort); do \
	  echo "== $$b"; $$b --benchmark_min_time=0.5 || exit 1; \
	done

# ---- Installation and package ----
# `make install PREFIX=/opt/velmor` (DESTDIR=... stages it elsewhere);
# `make package` leaves velmor_<version>_<arch>.deb in $(BUILD)/, to be
# installed with `apt install ./$(BUILD)/velmor_*.deb`.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB
# ---- end of installation and package ----

clean:
	rm -rf $(BUILD) $(SAN_BUILD)

# --- clang: the fuzzer and the portability stage of CI -----------------------
# Not in DEBS: only `make fuzz` and CI's clang build need them.
CLANG_DEBS := clang libclang-rt-14-dev
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 60

.PHONY: deps-clang fuzz

deps-clang:
	@$(MAKE) --no-print-directory deps DEBS="$(CLANG_DEBS)"

# Runs the number fuzzer for FUZZ_TIME seconds. New inputs go to
# $(FUZZ_BUILD)/corpus; fuzz/corpus (replayed by the test suite) is only read.
fuzz: deps-clang
	[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVELMOR_FUZZ=ON -DBUILD_TESTING=OFF -DVELMOR_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) --target fuzz_numbers -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/fuzz/fuzz_numbers -max_total_time=$(FUZZ_TIME) -print_final_stats=1 $(FUZZ_BUILD)/corpus fuzz/corpus
# --- end clang ----------------------------------------------------------------
