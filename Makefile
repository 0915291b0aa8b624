# Entry points for people and CI. Every target configures and builds what it needs.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: deps all demo desktop test test-sanitize bench package format clean

# Installs the build dependencies on a fresh machine; does nothing when they are present.
deps:
	bash scripts/install-deps.sh

all: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The main job on the bundled sample: ravelo-batch runs both edit sets of the NAACCR 18 sample
# metafile, with the sample configuration, over 10,000 generated records (a fixed seed, so
# every run checks the same data), then writes a combined report, a CSV report and the HTML
# overview of the run and prints their paths. The results land in $(BUILD)/demo/query, the
# reports in $(BUILD)/demo/reports. ravelo-batch exits 1 when some record failed, which the
# sample's faulty records make the expected outcome.
DEMO_HOME = $(BUILD)/demo
demo: all
	$(BUILD)/tools/naaccr_generate --records 10000 --seed 18 -o $(BUILD)/samples/naaccr18-10000.txt
	mkdir -p $(DEMO_HOME)
	RAVELO_HOME=$(DEMO_HOME) $(BUILD)/desktop/ravelo-batch --config samples/naaccr18/naaccr18.ini \
		--metafile $(BUILD)/samples/naaccr18.rmf --data $(BUILD)/samples/naaccr18-10000.txt \
		--report combined --report csv --report overview; \
		status=$$?; [ $$status -le 1 ] || exit $$status

# The desktop program on the bundled sample: the demo's program folder gets the sample
# metafile, the sample configuration (kept once the user has saved changes to it) and the
# generated records, and ravelo opens on it.
desktop: demo
	mkdir -p $(DEMO_HOME)/metafiles $(DEMO_HOME)/config $(DEMO_HOME)/data
	cp $(BUILD)/samples/naaccr18.rmf $(DEMO_HOME)/metafiles/
	[ -f $(DEMO_HOME)/config/runtime.ini ] || \
		cp samples/naaccr18/naaccr18.ini $(DEMO_HOME)/config/runtime.ini
	cp $(BUILD)/samples/naaccr18-10000.txt $(DEMO_HOME)/data/
	RAVELO_HOME=$(DEMO_HOME) $(BUILD)/desktop/ravelo

test: all
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

# Benchmarks, in the optimised build; they print their own rates. The Python package's runs in
# Debian's python3.
bench: all
	$(BUILD)/bench/index_seek_bench
	$(BUILD)/bench/interpreter_bench
	$(BUILD)/bench/run_batch_bench
	$(BUILD)/bench/library_bench
	$(BUILD)/bench/lookup_bench
	$(BUILD)/tools/naaccr_generate --records 100000 --seed 18 -o $(BUILD)/bench/naaccr18-100000.txt
	$(BUILD)/bench/batch_run_ratio $(BUILD)/samples/naaccr18.rmf "NAACCR 18 Incidence" \
		$(BUILD)/bench/naaccr18-100000.txt "Incidence Core Edits" "Incidence Date Edits"
	/usr/bin/python3 bench/python_check_ratio.py $(BUILD) $(BUILD)/bench/naaccr18-100000.txt
	$(BUILD)/bench/translation_cost $(BUILD)/samples/naaccr18.rmf "NAACCR 18 Incidence" \
		$(BUILD)/bench/naaccr18-100000.txt
	$(BUILD)/bench/parallel_run_ratio $(BUILD)/samples/naaccr18.rmf "NAACCR 18 Incidence" \
		$(BUILD)/bench/naaccr18-100000.txt "Incidence Core Edits" "Incidence Date Edits"
	$(BUILD)/bench/report_ratio
	$(BUILD)/tools/naaccr_generate --records 100000 --seed 18 --format xml \
		-o $(BUILD)/bench/naaccr18-100000.xml
	$(BUILD)/tools/naaccr_generate --records 100000 --seed 18 --format xml --gzip \
		-o $(BUILD)/bench/naaccr18-100000.xml.gz
	$(BUILD)/bench/data_form_ratio $(BUILD)/samples/naaccr18.rmf "NAACCR 18 Incidence" \
		$(BUILD)/bench/naaccr18-100000.txt $(BUILD)/bench/naaccr18-100000.xml \
		$(BUILD)/bench/naaccr18-100000.xml.gz "Incidence Core Edits" "Incidence Date Edits"

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVETRA_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --test-dir $(SANITIZE_BUILD) -j $(JOBS) --output-on-failure

# The Debian package, from a Release build of its own for /usr without the tests: installs with
# `apt install ./$(PACKAGE_BUILD)/ravelo_*.deb`. Its contents and dependencies are listed and
# checked. It is optimised at -O2, as Debian builds its packages; at -O3 GCC 12 warns falsely
# that std::string's operator+ may overlap its copies.
PACKAGE_BUILD ?= build-package
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
		-DCMAKE_INSTALL_PREFIX=/usr -DVETRA_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	rm -f $(PACKAGE_BUILD)/ravelo_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	bash scripts/check-package.sh $(PACKAGE_BUILD)/ravelo_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(PACKAGE_BUILD)

# Runs each fuzz target for FUZZ_SECONDS, the metafile reader from a seed corpus of valid
# files, every target also from its corpus kept in fuzz/corpus (read, never written); a
# crash, leak or sanitizer report fails the target and leaves the input in
# FUZZ_BUILD/findings. Only the fuzz programs are built: the shared library does not link with
# clang's sanitizers.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS ?= open_metafile_fuzz token_reader_fuzz index_decoder_fuzz index_search_fuzz interpreter_fuzz interpreter_differential_fuzz pattern_matcher_fuzz data_file_inspection_fuzz ini_reader_fuzz naaccr_xml_fuzz

.PHONY: fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVETRA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZERS) make_seed_corpus
	$(FUZZ_BUILD)/fuzz/make_seed_corpus $(FUZZ_BUILD)/corpus/open_metafile_fuzz
	mkdir -p $(FUZZ_BUILD)/findings
	for fuzzer in $(FUZZERS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$fuzzer fuzz/corpus/$$fuzzer && \
		seeds=fuzz/corpus/$$fuzzer; \
		[ $$fuzzer = interpreter_differential_fuzz ] && seeds="$$seeds fuzz/corpus/interpreter_fuzz"; \
		$(FUZZ_BUILD)/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
			-timeout=10 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/findings/ \
			$(FUZZ_BUILD)/corpus/$$fuzzer $$seeds || exit 1; \
	done
