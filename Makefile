# Two commands do everything on a fresh machine: `make run` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_EXTRA ?=
# The tests in the release build: AUTO when GoogleTest is found, ON required (make test).
TESTS ?= AUTO
PREFIX ?= /usr/local
# make EXE=NAME: the profile-guided build, its engine also left at NAME (testing frameworks
# build with it); `make build EXE=NAME` and `make profile-build EXE=NAME` leave theirs there.
EXE ?=
PGO_GEN := build/pgo-gen
PGO_PROFILE := $(CURDIR)/$(PGO_GEN)/profile
ifeq ($(EXE),)
.DEFAULT_GOAL := build
COPY_EXE := @true
else
.DEFAULT_GOAL := profile-build
COPY_EXE := cp build/release/velmora "$(EXE)"
endif

.PHONY: run test test-deps build profile-build sanitize-test tsan-test debug-test install package \
    format clean wasm web serve web-test

# The plain release build, with the tests when GoogleTest is found.
build:
	cmake --preset release -DVELMORA_TESTS=$(TESTS) $(CMAKE_EXTRA)
	cmake --build --preset release -j $(JOBS)
	$(COPY_EXE)

# The release engine and velmora-tools built instrumented in build/pgo-gen, trained from an
# empty profile (scripts/pgo-train, working in build/pgo-gen/train), then built again with
# the profile in build/release, without the tests: every object there is compiled afresh,
# since the profile is an input to all of them. See README.md.
profile-build:
	cmake --preset pgo-generate $(CMAKE_EXTRA)
	cmake --build --preset pgo-generate -j $(JOBS)
	rm -rf $(PGO_PROFILE)
	bash scripts/pgo-train $(PGO_GEN) $(PGO_GEN)/train
	cmake --preset release -DVELMORA_PGO=use -DVELMORA_PGO_DIR=$(PGO_PROFILE) \
	    -DBUILD_TESTING=OFF -DVELMORA_BENCHMARKS=OFF $(CMAKE_EXTRA)
	cmake --build --preset release -j $(JOBS) --clean-first
	$(COPY_EXE)

# Starts the engine in the repository root, where the opening book lives.
run: build
	./build/release/velmora

# GoogleTest (and Google Benchmark) installed when missing, or the command that does.
test-deps:
	bash scripts/test-deps

test: test-deps
	$(MAKE) build TESTS=ON
	ctest --preset release -j $(JOBS)

# The profile-guided build installed under PREFIX (and DESTDIR, when set); see README.md.
install: profile-build
	cmake --install build/release --prefix "$(PREFIX)"

# The Debian package build/release/velmora_VERSION_ARCH.deb, installed under /usr.
package: profile-build
	cd build/release && cpack -G DEB

debug-test: test-deps
	cmake --preset debug $(CMAKE_EXTRA)
	cmake --build --preset debug -j $(JOBS)
	ctest --preset debug -j $(JOBS)

sanitize-test: test-deps
	cmake --preset sanitize $(CMAKE_EXTRA)
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# ThreadSanitizer over the tests that run several search threads, or fill tables in the
# background.
TSAN_TESTS ?= SearchThreads|Uci|TranspositionTable|Think|TableMemory
tsan-test: test-deps
	cmake --preset tsan $(CMAKE_EXTRA)
	cmake --build --preset tsan -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -j $(JOBS) -R "$(TSAN_TESTS)"

# The WebAssembly engine for the page and Node, with Debian's emscripten (see README.md):
# build/wasm/velmora.js and velmora.wasm. Emscripten's JavaScript tools need Debian's
# node modules (acorn) on NODE_PATH when node comes from elsewhere.
WASM_ENV := NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))
wasm:
	$(WASM_ENV) cmake --preset wasm $(CMAKE_EXTRA)
	$(WASM_ENV) cmake --build --preset wasm -j $(JOBS)

# The page assembled in build/web: web/ bundled with its npm packages, the engine beside it.
web: wasm
	bash scripts/web-build

# The page on http://127.0.0.1:$(PORT)/, with the headers a threaded engine would need.
PORT ?= 8080
serve: web
	python3 scripts/web-serve $(PORT)

# The page tested in headless Chromium (puppeteer-core); screenshots in build/web-test.
web-test: web
	bash scripts/web-test

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build
