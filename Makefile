# The commands of the README. Each installs what it needs first: `make play` only what the
# game needs to build and run, `make test` also the tests' tools.
# Where the set-up cannot install (no apt), install the packages it names, then skip it: SETUP=:
BUILD ?= build
RELEASE ?= build-release
JOBS ?= 2
SETUP ?= bash scripts/setup.sh

.PHONY: setup setup-test play board test sanitize bench measure clean

setup:
	$(SETUP)

setup-test:
	$(SETUP) --test

play: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target tarnix
	$(RELEASE)/tarnix

# The world table's server on 127.0.0.1:8080, its database in the working folder.
BOARD_ARGS ?=
board: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target tarnix-board
	$(RELEASE)/server/tarnix-board $(BOARD_ARGS)

test: setup-test
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE ?= build-sanitize
sanitize: setup-test
	cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNIX_SANITIZE=ON \
	  -DBUILD_TESTING=ON -DTARNIX_BENCH=OFF
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && TARNIX_SOAK_PASSES=30000 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

measure: setup-test
	bash scripts/measure.sh

bench: setup-test
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTARNIX_BENCH=ON
	cmake --build $(RELEASE) -j $(JOBS) --target tarnix_bench
	$(RELEASE)/bench/tarnix_bench

clean:
	rm -rf $(BUILD) $(RELEASE) $(SANITIZE)
