# Tabvue: `make demo` converts a real Calc range; `make test` installs
# what is missing, builds everything and runs every test.
BUILD := build
ASAN  := build-asan
FUZZ  := build-fuzz
JOBS  := $(shell nproc)

.PHONY: all deps build asan fuzz-build test unit demo fuzz bench clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

# Unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B $(ASAN) -DTV_PROGRAMS=OFF -DTV_SANITIZE=ON >/dev/null
	cmake --build $(ASAN) -j$(JOBS)

# libFuzzer targets, built with clang.
fuzz-build: deps
	CXX=clang++ cmake -S . -B $(FUZZ) -DTV_FUZZ=ON -DTV_PROGRAMS=OFF >/dev/null
	cmake --build $(FUZZ) --target fuzz-targets -j$(JOBS)

fuzz: fuzz-build
	tests/fuzz/run $(FUZZ) 60

unit: build
	cd $(BUILD) && ctest -L unit --output-on-failure

test: build asan fuzz-build
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure
	tests/fuzz/run $(FUZZ) 24
	cd $(BUILD) && ctest --output-on-failure

# Plain-text pipeline speed and memory: docs/performance.md and its plot.
bench: build
	scripts/bench-office $(BUILD)
	scripts/bench $(BUILD)

demo: build
	scripts/demo

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
