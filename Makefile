# Wraps CMake. The two commands a developer needs are `make run` and `make test`; both install what is missing.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
WINDOWS_DIR ?= build-windows
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

PREFIX ?= /usr/local

.PHONY: all deps test-deps configure build run test test-sanitize windows-build test-windows package-windows bench \
	install package format check-format clean

all: build

deps:
	scripts/install-deps build

test-deps:
	scripts/install-deps test

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Started from the home folder, as a desktop menu starts it: never among the project's own files.
run: build
	cd "$$HOME" && "$(abspath $(BUILD_DIR))/src/ferrowyn"

test: test-deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: test-deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DFERROWYN_BUILD_BENCH=OFF \
		-DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
		-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_DIR) --output-on-failure

# Ferrowyn.exe and every test cross-built for Windows with MinGW-w64, against a Qt for Windows that
# scripts/build-qt-windows builds once from Debian's own source package and keeps in a cache. The tests run under
# Wine, headless; the setup program's test installs it, starts it and uninstalls it. Qt for Windows is found as a
# root of its own (the toolchain looks nowhere else for Windows packages); the programs are linked statically, so
# that Wine need not find the compiler's own DLLs for them; the tests run through Wine.
windows-build:
	scripts/install-deps windows
	scripts/build-qt-windows
	qt=$$(scripts/build-qt-windows --prefix) && \
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
		-DFERROWYN_BUILD_BENCH=OFF -DCMAKE_PREFIX_PATH="$$qt" -DCMAKE_FIND_ROOT_PATH="$$qt" \
		-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$$(gcc -dumpmachine)/cmake \
		-DCMAKE_EXE_LINKER_FLAGS=-static -DCMAKE_CROSSCOMPILING_EMULATOR=wine
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

test-windows: windows-build
	WINEPREFIX=$(abspath $(WINDOWS_DIR))/wine-prefix WINEDEBUG=-all DISPLAY= \
		WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
		ctest --test-dir $(WINDOWS_DIR) --output-on-failure

# $(WINDOWS_DIR)/Ferrowyn-<version>-win64-setup.exe and the portable Ferrowyn-<version>-win64.zip.
package-windows: windows-build
	cd $(WINDOWS_DIR) && cpack

# usage: make bench [BENCH_ARGS="folder size-in-MiB"]
bench: build
	$(BUILD_DIR)/bench/bench_overwrite_pass $(BENCH_ARGS)
	$(BUILD_DIR)/bench/bench_big_folder
	$(BUILD_DIR)/bench/bench_progress_repaint
	$(BUILD_DIR)/bench/bench_file_holders

# usage: make install [PREFIX=/usr/local] [DESTDIR=...]
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# A .deb of the program in $(BUILD_DIR); its dependencies are computed by dpkg-shlibdeps.
package: build
	scripts/install-deps package
	cmake --build $(BUILD_DIR) --target package

# Every C++ file formatted as .clang-format says; check-format only tells which are not (CI runs it).
format:
	scripts/install-deps format
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

check-format:
	scripts/install-deps format
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(WINDOWS_DIR)
