# Front door over CMake. `make run` builds and starts the program, `make check`
# builds and runs the whole test suite headless. Both install missing packages first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# `make install` puts the program under $(DESTDIR)$(PREFIX).
PREFIX ?= /usr/local
# The Release build of the programs alone, for `make install` and `make package`.
PACKAGE_DIR = build-package

.PHONY: all deps test-deps build run test check check-sanitize check-asan check-tsan check-install release install package bench fuzz icons screenshot clean

all: build

deps:
	@scripts/install-deps build

# The tests also read the report's PDF (pdftotext).
test-deps:
	@scripts/install-deps build test

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/CMakeCache.txt
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds only the program, not the tests.
run: deps $(BUILD_DIR)/CMakeCache.txt
	@cmake --build $(BUILD_DIR) --target orthavel -j $(JOBS)
	./$(BUILD_DIR)/orthavel

# Every test runs once, in the AddressSanitizer build (a build of its own for
# the plain tests would add a third full build to every check); the solver and
# window tests run again under ThreadSanitizer. `make test` runs the plain build.
check: deps test-deps
	$(MAKE) --no-print-directory check-sanitize
	$(MAKE) --no-print-directory check-install

# The tests in the plain build, headless.
test: build test-deps
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure

# The sanitizer builds: lightly optimised, with whole call stacks in reports.
SANITIZER_FLAGS = -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -g1 -fno-optimize-sibling-calls"
SANITIZER_SUPPRESSIONS = $(CURDIR)/tests/sanitizers
# The tests whose solver thread runs beside the window. The file command tests
# are left out: Qt's file dialog runs a worker thread of its own whose events
# pass Qt's event queue under a lock the tool cannot see.
TSAN_TESTS = calculatesquare orthavel orthavel_analysis orthavel_editor orthavel_project orthavel_scene orthavel_solver examples
space := $(subst ,, )

check-sanitize: check-asan check-tsan

# Every test program under AddressSanitizer, LeakSanitizer and UBSan; any report fails.
check-asan: test-deps
	cmake -S . -B build-asan -DORTHAVEL_SANITIZE=address,undefined $(SANITIZER_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(SANITIZER_SUPPRESSIONS)/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest -j $(JOBS) --output-on-failure

# The solver's tests and the window tests under ThreadSanitizer; any report fails.
check-tsan: test-deps
	cmake -S . -B build-tsan -DORTHAVEL_SANITIZE=thread $(SANITIZER_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target $(addprefix test_,$(TSAN_TESTS))
	cd build-tsan && QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS=halt_on_error=1:suppressions=$(SANITIZER_SUPPRESSIONS)/tsan.supp \
	  ctest -j $(JOBS) --output-on-failure -R '^($(subst $(space),|,$(TSAN_TESTS)))$$'

# The desktop entry, metainfo, MIME type, icons and manual pages as installed, and
# the Debian package through lintian (errors fail, warnings are shown).
check-install:
	@scripts/install-deps build install
	$(MAKE) --no-print-directory package
	scripts/check-install $(PACKAGE_DIR)

# Hardened as Debian builds its packages (dpkg-buildflags), which takes effect when
# $(PACKAGE_DIR) is first configured.
release: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
release:
	@scripts/install-deps build package
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DORTHAVEL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(PACKAGE_DIR) -j $(JOBS)

# Builds as you and copies with sudo only when $(DESTDIR)$(PREFIX) is not writable.
install: release
	@scripts/install-program $(PACKAGE_DIR) "$(PREFIX)" "$(DESTDIR)"

# The Debian package $(PACKAGE_DIR)/orthavel_<version>_<arch>.deb, installed under /usr.
package: release
	cd $(PACKAGE_DIR) && cpack

bench:
	@scripts/install-deps build bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORTHAVEL_TESTS=OFF -DORTHAVEL_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/bench_*; do $$b; done

fuzz:
	@scripts/install-deps build fuzz
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORTHAVEL_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)

# Configures again so that the painter finds Qt's SVG module once it is installed.
icons:
	@scripts/install-deps build icons
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) --target make_icons
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/make_icons resources

# The window with the demo project loaded, as shown in README.md.
# Configures again so that a build directory older than the tool knows its target.
screenshot: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) --target screenshot -j $(JOBS)
	mkdir -p docs
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/screenshot examples/demo.square docs/screenshot.png

clean:
	rm -rf $(BUILD_DIR) build-bench build-fuzz build-asan build-tsan $(PACKAGE_DIR)
