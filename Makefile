# The two front doors:
#   make demo     builds the program and shows it at work on simulated devices
#   make test     installs what is missing, builds with AddressSanitizer and
#                 UndefinedBehaviorSanitizer, runs every test, then builds the
#                 Debian package and tries it: install, run, remove
# and the package alone:
#   make package  velmora_<version>_amd64.deb in build/package
.PHONY: all deps test demo bench package package-test clean

TEST_DIR  ?= build/test
DEMO_DIR  ?= build/demo
BENCH_DIR ?= build/bench
PACKAGE_DIR ?= build/package
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
# ccache, when it is there, keeps unchanged objects between builds; paths are
# hashed relative to the checkout, so another clone of the same tree hits too.
CCACHE    := $(shell command -v ccache 2>/dev/null)
LAUNCHER  := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

all: demo

deps:
	@bash scripts/install-deps.sh

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON -DVELMORA_BENCH=OFF $(LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j $(JOBS)
	$(MAKE) package-test

demo: deps
	cmake -S . -B $(DEMO_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
	cmake --build $(DEMO_DIR) -j $(JOBS)
	@bash scripts/demo.sh $(DEMO_DIR)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench_*; do echo "== $$b"; $$b; done

# The package is built from a Release build of the installed programs alone
# (no tests, no sanitizers), through ccache when it is there.
package: deps
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF \
	  -DVELMORA_BENCH=OFF -DVELMORA_FUZZ=OFF -DVELMORA_PACKAGE=ON $(LAUNCHER)
	cmake --build $(PACKAGE_DIR) --target package -j $(JOBS)

# Installs the package with apt-get, runs the installed programs and removes
# it again (root only).
package-test: package
	bash scripts/package-test.sh $(PACKAGE_DIR)

clean:
	rm -rf build
