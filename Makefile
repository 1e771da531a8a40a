# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run the suite, then again under ASan and UBSan.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 300

.PHONY: deps build build-asan run test test-normal test-asan fuzz planted clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSHELFWARDEN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# A newcomer sees a working catalogue at once: the sample is made on the first run.
run: build
	test -f $(BUILD)/sample.mdb || ./$(BUILD)/shelfwarden --import examples/books.csv $(BUILD)/sample.mdb
	./$(BUILD)/shelfwarden $(BUILD)/sample.mdb

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-normal test-asan

# Fuzzes opening and listing a catalogue file; not part of `make test`. Crashing inputs are left
# in $(FUZZ_BUILD)/crashes; copy them into tests/faults/corpus once mended.
fuzz:
	./scripts/install-deps.sh clang libclang-rt-14-dev
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHELFWARDEN_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_open_catalogue -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/crashes
	cp -n tests/faults/corpus/* $(FUZZ_BUILD)/corpus/ 2>/dev/null || true
	./$(FUZZ_BUILD)/tests/fuzz_open_catalogue -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
		-artifact_prefix=$(FUZZ_BUILD)/crashes/ $(FUZZ_BUILD)/corpus

# Plants each fault of tests/planted/ in a scratch copy of the tree ($(PLANTED_BUILD)/, kept for
# incremental builds) and tells whether the tests catch it; not part of `make test`.
# ONLY=isbn runs one subsystem's faults, ONLY='view/listsort-*' some by name; TIMEOUT=30 limits
# each test to 30 seconds; PLANTED_FLAGS passes more options (scripts/planted.py --help).
PLANTED_BUILD ?= build-planted
ONLY          ?=
TIMEOUT       ?=
PLANTED_FLAGS ?=

planted: deps
	python3 scripts/planted.py --scratch $(PLANTED_BUILD) --jobs $(JOBS) \
		$(if $(TIMEOUT),--timeout $(TIMEOUT)) $(PLANTED_FLAGS) $(ONLY)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PLANTED_BUILD)
