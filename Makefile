# Two commands do everything on a fresh machine: `make run` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_EXTRA ?=
PREFIX ?= /usr/local
# make EXE=NAME: the release engine is also left at NAME (testing frameworks ask for it).
EXE ?=

.PHONY: run test build sanitize-test tsan-test debug-test install package format clean

build:
	cmake --preset release $(CMAKE_EXTRA)
	cmake --build --preset release -j $(JOBS)
ifneq ($(EXE),)
	cp build/release/velmora "$(EXE)"
endif

# Starts the engine in the repository root, where the opening book lives.
run: build
	./build/release/velmora

test: build
	ctest --preset release -j $(JOBS)

# The release build installed under PREFIX (and DESTDIR, when set); see README.md.
install: build
	cmake --install build/release --prefix "$(PREFIX)"

# The Debian package build/release/velmora_VERSION_ARCH.deb, installed under /usr.
package: build
	cd build/release && cpack -G DEB

debug-test:
	cmake --preset debug $(CMAKE_EXTRA)
	cmake --build --preset debug -j $(JOBS)
	ctest --preset debug -j $(JOBS)

sanitize-test:
	cmake --preset sanitize $(CMAKE_EXTRA)
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# ThreadSanitizer over the tests that run several search threads.
TSAN_TESTS ?= SearchThreads|Uci|TranspositionTable|Think
tsan-test:
	cmake --preset tsan $(CMAKE_EXTRA)
	cmake --build --preset tsan -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -j $(JOBS) -R "$(TSAN_TESTS)"

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build
