# The commands of the README: `make run`, `make test`, `make install`, `make package`, and the
# package check CI runs besides the tests: `make package-test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: run test build setup bench clean install package package-test

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
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

clean:
	rm -rf $(BUILD)
