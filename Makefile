# Entry points for people and CI. Every target configures and builds what it needs.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: all demo test test-sanitize format clean

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The main job on the bundled sample.
demo: all
	cd $(BUILD) && ./tools/rmfdump samples/minimal.rmf && ./tools/engine_probe samples/minimal.rmf EditErrs.csv

test: all
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVETRA_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_BUILD) -j $(JOBS) --output-on-failure

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
