# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run the suite, then again under ASan and UBSan.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: deps build build-asan run test test-normal test-asan clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSHELFWARDEN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	./$(BUILD)/shelfwarden

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-normal test-asan

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
