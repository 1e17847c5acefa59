# The commands of the README: `make run`, `make test`, `make install`, `make package`, and the
# checks CI runs besides the tests: `make package-test`, `make sanitize`, `make fuzz`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
# clang where it is installed: the one sanitizer build then also gives the fuzz targets.
SANITIZE_CXX ?= $(shell command -v clang++ || echo g++)
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60

.PHONY: run test build setup bench clean install package package-test sanitize-configure \
	sanitize fuzz

setup:
	./scripts/setup.sh

# Line tables only (-g1): backtraces and profiles keep their lines, while the objects are a
# fifth the size and the whole build links far sooner.
build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/ze-zuzu --virtual-board

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# DESTDIR=<folder> installs under that folder instead of the root.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cmake --build $(BUILD) --target package

package-test: package
	./scripts/package_test.sh $(BUILD)

# The core, the command line and their tests with the address and undefined-behaviour
# sanitizers (-O1, line tables only); any finding fails the run. With clang the same build is
# instrumented for the fuzz targets.
sanitize-configure: setup
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_CXX_COMPILER=$(SANITIZE_CXX) \
		-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DZZ_BUILD_GUI=OFF \
		-DZZ_BUILD_BENCH=OFF -DZZ_SANITIZE=address,undefined \
		-DZZ_FUZZ=$(if $(findstring clang,$(SANITIZE_CXX)),ON,OFF)

sanitize: sanitize-configure
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS on its seed corpus (needs clang).
fuzz: sanitize-configure
	./scripts/fuzz.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
