# Quenthor: the README's commands.
#   make run    install what is missing, build, start Quenthor under Wine
#   make test   install what is missing, build both configurations, run every test
#   make dist   dist/Quenthor/Quenthor.exe and its user guide
# Variables named QUENTHOR_... go to CMake's cache, e.g.
#   make dist QUENTHOR_RELAY_HOST=127.0.0.1

BUILD := build
NATIVE := $(BUILD)/native
WIN := $(BUILD)/win
RELEASE := $(BUILD)/release
PREFIX := $(abspath $(BUILD))/wineprefix
JOBS ?= $(shell nproc)
# Most Wine tests wait on windows and servers rather than on the processor.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

SITE_VARS := $(foreach v,$(filter QUENTHOR_%,$(.VARIABLES)),\
  $(if $(filter command line environment,$(origin $(v))),$(v)))
SITE_DEFS := $(foreach v,$(SITE_VARS),-D$(v)=$($(v)))
TOOLCHAIN := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-posix.cmake \
  -DQUENTHOR_WINEPREFIX=$(PREFIX)

.PHONY: all deps native win release dist run test format clean

all: native win

deps:
	@scripts/ensure-deps

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENTHOR_SANITIZE=ON $(SITE_DEFS) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win: deps
	@cmake -S . -B $(WIN) -C cmake/LoopbackSite.cmake -DCMAKE_BUILD_TYPE=Release $(TOOLCHAIN) $(SITE_DEFS) >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

release: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=MinSizeRel -DQUENTHOR_TESTS=OFF $(TOOLCHAIN) $(SITE_DEFS) >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

dist: release
	@rm -rf dist/Quenthor && mkdir -p dist/Quenthor
	@cp $(RELEASE)/src/app/Quenthor.exe dist/Quenthor/
	@if [ -f docs/使用前必读.html ]; then cp docs/使用前必读.html dist/Quenthor/; fi
	@echo "dist/Quenthor:" && ls -l dist/Quenthor

run: dist
	@scripts/run-quenthor $(PREFIX) dist/Quenthor/Quenthor.exe $(BUILD)/screenshot.png

test: native win
	@printf 'subdirs("native" "win")\n' > $(BUILD)/CTestTestfile.cmake
	@scripts/wine-session $(PREFIX) ctest --test-dir $(BUILD) --output-on-failure -j $(TEST_JOBS) $(CTEST_ARGS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) dist
