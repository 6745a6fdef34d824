# Moorglide: `make run` to play, `make test` to run every test.
# Both install the Debian packages that are missing, then build into build/.

PACKAGES := cmake g++ make pkg-config \
  libglfw3-dev libglew-dev libassimp-dev libglm-dev liblodepng-dev \
  libgl-dev libgl1-mesa-dri libglx-mesa0 mesa-utils \
  googletest libgtest-dev \
  libfreetype-dev fonts-dejavu-core libopenal-dev \
  xvfb xauth xdotool x11-utils imagemagick libx11-dev \
  dpkg-dev file desktop-file-utils appstream groff-base

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build run test bench package clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY" ]; then \
	  cd data && ../build/moorglide; \
	else \
	  bash tools/run-headless.sh; \
	fi

test: build
	LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
	  ctest --test-dir build --output-on-failure -j $(JOBS)

bench: build
	cd data && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ../build/tools/bench/moorglide-bench

# The .deb lands in build/: apt install ./build/moorglide_*.deb
package: build
	cd build && cpack

clean:
	rm -rf build out
