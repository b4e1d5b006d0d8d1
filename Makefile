# The two commands of the README:
#   make demo   installs what the demo needs, builds the host program, and runs the main job on
#               built-in demo data
#   make test   installs everything, builds (normal, sanitizers, Windows cross build), runs all tests
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all build setup setup-demo test test-normal test-sanitize cross windows wine-test i686 i686-check \
  screenshots demo bench clean qgis-plugin qgis-windows-plugin qgis-test qgis-picture

all: build

build:
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQV_TESTS=ON
	cmake --build build -j $(JOBS)

setup:
	./scripts/setup.sh test

setup-demo:
	./scripts/setup.sh demo

test: setup
	$(MAKE) build
	cd build && ctest --output-on-failure -j $(JOBS)
	$(MAKE) qgis-test
	cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -LE long
	$(MAKE) cross
	$(MAKE) wine-test
	$(MAKE) i686-check

# Cross-compiles the core with mingw-w64 so that code which only builds on POSIX is caught.
cross:
	cmake -S . -B build-mingw $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DQV_CORE_ONLY=ON -DQV_TESTS=OFF
	cmake --build build-mingw -j $(JOBS)
	@# The runtime is linked statically: a DLL of the compiler's (lib*.dll) must not be imported.
	@imports=$$(x86_64-w64-mingw32-objdump -p build-mingw/qv_link_check.exe | sed -n 's/^[[:space:]]*DLL Name: //p'); \
	  echo "qv_link_check.exe imports:" $$imports; \
	  if echo "$$imports" | grep -qi '^lib'; then echo "cross: runtime DLL imported" >&2; exit 1; fi

# The Windows builds: 32-bit (for 32-bit GIS hosts) and 64-bit, each with the programs that
# test the windows under Wine.
WINDOWS_CMAKE = $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQV_CORE_ONLY=ON -DQV_TESTS=OFF \
  -DQV_WINDOWS=ON
windows:
	cmake -S . -B build-windows/x86 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake $(WINDOWS_CMAKE)
	cmake --build build-windows/x86 -j $(JOBS)
	cmake -S . -B build-windows/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(WINDOWS_CMAKE)
	cmake --build build-windows/x64 -j $(JOBS)
	$(MAKE) qgis-windows-plugin

# Runs the 64-bit test programs under Wine on a virtual display (there is no 32-bit Wine here),
# and checks the import tables of both builds.
wine-test: build windows
	./scripts/wine-test.sh

# The host program for 32-bit Linux, from the sources and with the arithmetic of the 32-bit DLL.
i686:
	cmake -S . -B build-i686 $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DQV_TESTS=OFF
	cmake --build build-i686 -j $(JOBS) --target quelvaris-host

# A 3 x 3 block run in 32 bits within 2 GB of address space; its layers must equal the 64-bit
# build's.
i686-check: build i686
	./scripts/i686-check.sh

# The screenshots of the Windows dialogs that the Wine tests took, for the README.
SCREENSHOTS = dialog-de dialog-fr dialog-missing-tiles
screenshots:
	@for shot in $(SCREENSHOTS); do \
	  test -f build-windows/shots/$$shot.png || \
	    { echo "screenshots: build-windows/shots/$$shot.png is missing: run 'make wine-test'" >&2; exit 1; }; \
	done
	mkdir -p docs
	for shot in $(SCREENSHOTS); do cp build-windows/shots/$$shot.png docs/windows-$$shot.png; done

# The QGIS plugin with the host program, for QGIS's "Install from ZIP" (Linux; the Windows zip
# comes with make windows), its tests under headless QGIS, and the README's picture.
QGIS_PYTHON = QT_QPA_PLATFORM=offscreen /usr/bin/python3
qgis-plugin: build
	/usr/bin/python3 scripts/qgis-plugin-zip.py build/quelvaris-qgis.zip build/quelvaris-host
qgis-windows-plugin:
	/usr/bin/python3 scripts/qgis-plugin-zip.py build-windows/quelvaris-qgis-windows.zip \
	  build-windows/x64/quelvaris-host.exe
qgis-test: qgis-plugin
	$(QGIS_PYTHON) tests/qgis/test_plugin.py
	$(QGIS_PYTHON) tests/qgis/test_rasters.py
qgis-picture: qgis-plugin
	$(QGIS_PYTHON) scripts/qgis-picture.py build/qgis-picture docs/qgis-wooded-share.jpg

# Only the program the demo runs: no tests (and so no GoogleTest), no benchmarks.
demo: setup-demo
	cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DQV_TESTS=OFF
	cmake --build build -j $(JOBS) --target quelvaris-host
	./scripts/demo.sh

bench: build
	./bench/run.sh

clean:
	rm -rf build build-asan build-mingw build-windows build-i686
