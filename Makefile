# The two commands of the README. Each installs what it needs first.
BUILD ?= build
RELEASE ?= build-release
JOBS ?= 2

.PHONY: setup play test sanitize bench measure clean

setup:
	bash scripts/setup.sh

play: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNIX_BENCH=OFF
	cmake --build $(RELEASE) -j $(JOBS) --target tarnix
	$(RELEASE)/tarnix

test: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE ?= build-sanitize
sanitize: setup
	cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNIX_SANITIZE=ON -DTARNIX_BENCH=OFF
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && TARNIX_SOAK_PASSES=30000 ctest --output-on-failure -j $(JOBS)

measure:
	bash scripts/measure.sh

bench: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNIX_BENCH=ON
	cmake --build $(RELEASE) -j $(JOBS) --target tarnix_bench
	$(RELEASE)/bench/tarnix_bench

clean:
	rm -rf $(BUILD) $(RELEASE) $(SANITIZE)
