# Moorglide: `make run` to play, `make test` to run every test.
# Both install the Debian packages that are missing, then build into build/.

PACKAGES := cmake g++ make pkg-config \
  libglfw3-dev libglew-dev libassimp-dev libglm-dev liblodepng-dev \
  libgl-dev libgl1-mesa-dri libglx-mesa0 mesa-utils \
  googletest libgtest-dev \
  libfreetype-dev fonts-dejavu-core libopenal-dev \
  xvfb xauth xdotool x11-utils imagemagick libx11-dev \
  dpkg-dev file desktop-file-utils appstream groff-base lintian python3

# Only `make fuzz` needs clang and its libFuzzer runtime.
FUZZ_PACKAGES := clang libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc 2>/dev/null || echo 2)
XVFB := LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"

.PHONY: all deps build run test bench package fuzz sanitize clean

all: build

# $(call install,packages): installs those of the packages that are missing.
define install
	@missing=$$(for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install,$(PACKAGES))

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
	$(XVFB) ctest --test-dir build --output-on-failure -j $(JOBS)

bench: build
	cd data && LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ../build/tools/bench/moorglide-bench

# The .deb lands in build/: apt install ./build/moorglide_*.deb
package: build
	cd build && cpack

# Each fuzz target (one per folder of tests/fuzz/corpus) runs FUZZ_SECONDS
# under libFuzzer, starting from its committed seeds; what it finds goes to
# out/fuzz/<target>/ (new inputs in corpus/, crashers as crash-*).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(notdir $(wildcard tests/fuzz/corpus/*))

fuzz: deps
	$(call install,$(FUZZ_PACKAGES))
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DMOORGLIDE_LIBFUZZER=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@found=; for t in $(FUZZ_TARGETS); do \
	  mkdir -p out/fuzz/$$t/corpus; \
	  echo "== fuzz_$$t, $(FUZZ_SECONDS) s"; \
	  build-fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=30 -print_final_stats=1 \
	    -artifact_prefix=out/fuzz/$$t/ out/fuzz/$$t/corpus tests/fuzz/corpus/$$t 2>&1 | \
	    grep -E "^(==|Done |stat::number_of_executed_units|SUMMARY|.*ERROR|.*check failed|.*Test unit written)" ; \
	  ls out/fuzz/$$t/ | grep -qE "^(crash|leak|timeout|oom)-" && found="$$found $$t"; \
	done; \
	if [ -n "$$found" ]; then echo "fuzz: findings in out/fuzz/ for:$$found"; exit 1; fi; \
	echo "fuzz: nothing found"

# The unit, gl and e2e tests and the autopilot over all ten levels, built
# with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/.
# The e2e scripts start the game ctest hands them, the sanitized one, and it
# inherits this environment. Preloading Mesa's software driver keeps it from
# leaking at exit; the suppressions cover leaks inside GLFW, X and the driver
# only, so a leak of ours still ends the game with LeakSanitizer's exit code.
SANITIZE := -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
SANITIZE_ENV := LD_PRELOAD=$$(find /usr/lib -name swrast_dri.so | head -1) \
  ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$(SANITIZE)" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	cmake --build build-sanitize -j $(JOBS)
	$(XVFB) env $(SANITIZE_ENV) sh -c 'ctest --test-dir build-sanitize -L "unit|gl|e2e" --output-on-failure -j $(JOBS) && \
	  build-sanitize/tools/autopilot/moorglide-autopilot --data data'

clean:
	rm -rf build build-fuzz build-sanitize out
