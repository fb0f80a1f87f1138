# The two commands of the README: `make run` and `make test`. `make bench` runs the benchmarks.
SHELL := /bin/bash
.DEFAULT_GOAL := run
.PHONY: deps run test bench build-release build-asan clean format tsan fuzz screenshots install package

deps:
	@./scripts/install-deps.sh

build-release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

build-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan

run: build-release
	@./scripts/run.sh

test: build-asan
	@./scripts/test.sh

bench: build-release
	@./build/release/bench/vexilo_bench
	@QT_QPA_PLATFORM=offscreen OMP_THREAD_LIMIT=1 ./build/release/bench/vexilo_services_bench
	@./build/release/bench/vexilo_desktop_bench
	@./build/release/bench/vexilo_ui_bench
	@./build/release/bench/vexilo_hud_bench
	@./tests/support/with-sway.sh ./build/release/bench/vexilo_wayland_bench

# Installs the release build under PREFIX (bin/, share/...), or under DESTDIR/PREFIX when DESTDIR is set.
PREFIX ?= /usr/local
install: build-release
	@DESTDIR=$(DESTDIR) cmake --install build/release --prefix $(PREFIX)

# The Debian package of the release build: build/release/vexilo_<version>_<arch>.deb.
package: build-release
	@cd build/release && cpack -G DEB
	@ls build/release/vexilo_*.deb

# The windows in each of their states, the tray menu and the dialogs, light and dark, as PNG files in build/screenshots; drawn
# on a private X display the tool starts and stops itself. Builds only the tool and what it needs.
screenshots: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release --target vexilo_screenshots
	@./build/release/tools/screenshots/vexilo_screenshots build/screenshots

# The threaded parts under ThreadSanitizer, with the environment of scripts/test.sh (see the tsan test preset).
tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@rt=$$(mktemp -d) && chmod 700 "$$rt" && trap 'rm -rf "$$rt"' EXIT && XDG_RUNTIME_DIR="$$rt" ctest --preset tsan

# The libFuzzer targets (tests/fuzz), FUZZ_SECONDS seconds each; fails when one finds a crash.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) ./tests/fuzz/run.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
