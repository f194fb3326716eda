# Thin wrapper around CMake. The two everyday commands:
#   make run    build the Release engine and start it (UCI on stdin/stdout)
#   make test   build with the tests and run them all under CTest

BUILD_DIR    ?= build
ASAN_DIR     ?= build-asan
TSAN_DIR     ?= build-tsan
PORTABLE_DIR ?= build-portable
JOBS         ?= $(shell nproc)

# Deep perft check: every position of the four perft collections to this
# depth (make perft-deep PERFT_DEPTH=5 goes deeper).
PERFT_DEPTH  ?= 4
PERFT_FILTER ?= PerftTest.*

KIWIPETE := r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -

.PHONY: run engine test tests portable perft-deep bench-perft sanitize tsan clean

# make EXE=path (as OpenBench's workers build an engine: make -jN EXE=Name,
# in the source folder) also leaves the Release engine at that path. A
# compiler named on the command line (CXX=clang++) builds it.
EXE ?=
ifeq ($(origin CXX),command line)
  ENGINE_COMPILER := -DCMAKE_CXX_COMPILER=$(CXX)
endif

engine:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DZERV_TESTS=OFF $(ENGINE_COMPILER)
	cmake --build $(BUILD_DIR) --target zerv -j $(JOBS)
ifneq ($(EXE),)
	mkdir -p "$(dir $(EXE))"
	cp $(BUILD_DIR)/zerv "$(EXE)"
endif

run: engine
	./$(BUILD_DIR)/zerv

tests:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DZERV_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: tests
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

portable:
	cmake -S . -B $(PORTABLE_DIR) -DCMAKE_BUILD_TYPE=Release -DZERV_PORTABLE=ON -DZERV_TESTS=OFF
	cmake --build $(PORTABLE_DIR) --target zerv -j $(JOBS)
	@echo "portable engine: $(PORTABLE_DIR)/zerv"

perft-deep: tests
	ZERV_PERFT_DEPTH=$(PERFT_DEPTH) ./$(BUILD_DIR)/zerv_tests --gtest_filter='$(PERFT_FILTER)'

# Speed of the console "perft" command, one thread: the start position to
# depth 6 and Kiwipete to depth 5.
bench-perft: engine
	@printf 'perft 6\nfen $(KIWIPETE)\nperft 5\nquit\n' | ./$(BUILD_DIR)/zerv -c \
	  | grep '^visited' | sed -e '1s/^/start position depth 6: /' -e '2s/^/Kiwipete depth 5:       /'

sanitize:
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZERV_SANITIZE=ON -DZERV_TESTS=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# The searches on several threads under ThreadSanitizer, in process and
# through the engine binary (searches, settings and positions sent while
# they run), and the fuzzers' kept inputs replayed through their harnesses
# (the UCI ones send settings, networks and positions during an analysis
# search); any report fails. A table the machine cannot give must be
# refused as with the plain allocator, not end the run.
TSAN_FILTER ?= ThreadedSearch.*:GoDialogue.*:OptionsDialogue.*:FuzzRegressions.*
tsan:
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZERV_TSAN=ON -DZERV_TESTS=ON
	cmake --build $(TSAN_DIR) --target zerv_tests -j $(JOBS)
	TSAN_OPTIONS="halt_on_error=1 exitcode=66 allocator_may_return_null=1" \
	  $(TSAN_DIR)/zerv_tests --gtest_filter='$(TSAN_FILTER)'

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(PORTABLE_DIR) $(FUZZ_DIR) $(PGO_DIR)

# Evaluation speed along random search-like lines, one thread, figures
# printed (make bench-eval BENCH_EVAL=nn); tools/bench_eval.cpp lists the
# evaluators it knows.
BENCH_EVAL ?= nn
.PHONY: bench-eval
bench-eval:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DZERV_TESTS=OFF
	cmake --build $(BUILD_DIR) --target zerv_bench_eval -j $(JOBS)
	$(BUILD_DIR)/zerv_bench_eval $(BENCH_EVAL)

# Search speed side by side in interleaved rounds, one thread, fixed depth:
# the network against the hand-crafted evaluation and the portable binary.
COMPARE_DEPTH  ?= 10
COMPARE_ROUNDS ?= 3
.PHONY: bench-compare
bench-compare: engine portable
	python3 tools/bench_compare.py --depth $(COMPARE_DEPTH) --rounds $(COMPARE_ROUNDS) \
	  "network=$(BUILD_DIR)/zerv" "hand-crafted=$(BUILD_DIR)/zerv -use_hce" \
	  "portable network=$(PORTABLE_DIR)/zerv"

# Profile-guided engine in $(PGO_DIR): an instrumented build plays the
# benchmark with both evaluations (network and hand-crafted, so that both
# hot paths are profiled), then the engine is rebuilt with those counts.
PGO_DIR   ?= build-pgo
PGO_DEPTH ?= 12
.PHONY: pgo
pgo:
	[ ! -d $(PGO_DIR) ] || find $(PGO_DIR) -name '*.gcda' -delete
	cmake -S . -B $(PGO_DIR) -DCMAKE_BUILD_TYPE=Release -DZERV_TESTS=OFF -DZERV_PGO=GENERATE
	cmake --build $(PGO_DIR) --target zerv -j $(JOBS)
	./$(PGO_DIR)/zerv -d $(PGO_DEPTH) -bench > /dev/null
	./$(PGO_DIR)/zerv -use_hce -d $(PGO_DEPTH) -bench > /dev/null
	cmake -S . -B $(PGO_DIR) -DZERV_PGO=USE
	cmake --build $(PGO_DIR) --target zerv -j $(JOBS)
	@echo "profile-guided engine: $(PGO_DIR)/zerv"

# A test suite solved through UCI at a fixed time per move, figures printed:
# make bench-epd EPD=../shared/data/epd/wac.epd EPD_MS=1000 EPD_ARGS=-use_hce
EPD      ?= ../shared/data/epd/wac.epd
EPD_MS   ?= 1000
EPD_ARGS ?=
.PHONY: bench-epd
bench-epd: engine
	python3 tools/epd_uci.py ./$(BUILD_DIR)/zerv $(EPD) --ms $(EPD_MS) --args='$(EPD_ARGS)'

# The network and evaluation training pipeline at a tiny size (self-play,
# PGN conversion, training, both tuners, the engine loading the results); see
# nets/README.md for the full-size commands.
.PHONY: net-smoke
net-smoke:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) --target zerv selfplay pgn_to_records train_net prepare_data tune_pst tune_eval -j $(JOBS)
	tools/net_pipeline_smoke.sh $(BUILD_DIR)

# Tablebase speed, figures printed: WDL probes per second over the
# reference probe positions with their tables mapped (one thread, with a
# check of every result), then the search speed on 4-piece positions with
# and without the tables (make bench-tb TB_MS=1000).
TB_DIR    ?= ../shared/data/syzygy
TB_PROBES ?= ../shared/data/syzygy-probes.txt
TB_ROUNDS ?= 50
TB_MS     ?= 500
.PHONY: bench-tb
bench-tb: engine
	cmake --build $(BUILD_DIR) --target zerv_bench_tb -j $(JOBS)
	$(BUILD_DIR)/zerv_bench_tb $(TB_DIR) $(TB_PROBES) $(TB_ROUNDS)
	python3 tools/tb_search_speed.py ./$(BUILD_DIR)/zerv $(TB_DIR) $(TB_PROBES) --ms $(TB_MS)

# Opening books, figures printed: probes per second on performance.bin,
# then -mkbook games per second beside "polyglot make-book" on one file
# (make bench-book BOOK_COPIES=4096 sets how often the PGN files repeat).
BOOK_COPIES ?= 4096
.PHONY: bench-book
bench-book: engine
	cmake --build $(BUILD_DIR) --target zerv_bench_book -j $(JOBS)
	$(BUILD_DIR)/zerv_bench_book ../shared/data/books/performance.bin ../shared/data/book-probes.txt
	tools/bench_mkbook.sh $(BUILD_DIR)/zerv ../shared/data $(BOOK_COPIES)

# The EPD runner on a test suite at a fixed depth, one thread; the summary
# (solved count, nodes, time, node rate) is printed:
# make bench-anepd ANEPD=../shared/data/epd/sts.epd ANEPD_DEPTH=6
ANEPD       ?= ../shared/data/epd/wac.epd
ANEPD_DEPTH ?= 8
.PHONY: bench-anepd
bench-anepd: engine
	./$(BUILD_DIR)/zerv -d $(ANEPD_DEPTH) -anepd $(ANEPD) -o $(BUILD_DIR)/analysis.epd

# Tuning positions per second: -mktune1 at depth MKTUNE_DEPTH on
# MKTUNE_POSITIONS game positions (made by -scan_pgn2 from the shared
# engine games), one thread, figure printed.
MKTUNE_POSITIONS ?= 400
MKTUNE_DEPTH     ?= 4
.PHONY: bench-mktune
bench-mktune: engine
	tools/bench_mktune.sh $(BUILD_DIR)/zerv ../shared/data $(MKTUNE_POSITIONS) $(MKTUNE_DEPTH)

# libFuzzer over every input the engine reads (clang, with AddressSanitizer
# and UndefinedBehaviorSanitizer): make fuzz FUZZ_SECONDS=600 runs each
# harness that long and prints executions and findings per harness
# (FUZZ_HARNESSES=uci fen ... picks some; FUZZ_RUNS=N also stops a harness
# after N executions). fuzz-ci replays the kept
# regression inputs and fuzzes each harness for a few seconds.
FUZZ_DIR        ?= build-fuzz
FUZZ_SECONDS    ?= 60
FUZZ_CI_SECONDS ?= 8
FUZZ_HARNESSES  ?=
.PHONY: fuzz-build fuzz fuzz-ci
fuzz-build:
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZERV_FUZZ=ON -DZERV_TESTS=OFF
	cmake --build $(FUZZ_DIR) --target zerv_fuzzers -j $(JOBS)

fuzz: fuzz-build
	tests/fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

fuzz-ci: fuzz-build
	tests/fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_CI_SECONDS) $(FUZZ_HARNESSES)

# A short UCI dialogue (start-up, a search to depth 6, quit) under
# Valgrind's memcheck on the portable build, whose instructions Valgrind
# knows; any memory error or definite leak fails.
.PHONY: valgrind
valgrind: portable
	tests/frontend/valgrind_dialogue.sh $(PORTABLE_DIR)/zerv
