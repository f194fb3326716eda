// What the fuzz harnesses share: the engine started once as the program
// starts it, the state every input begins from (so that a finding replays
// from its input alone), and scratch files for the readers that take only
// a file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Searches started by a harness stay tiny: one input must never run for
// long, whatever limits it names.
constexpr int FUZZ_MAX_DEPTH = 3;
constexpr uint64_t FUZZ_NODE_LIMIT = 3000;
constexpr int FUZZ_HASH_MB = 1;

// Start-up as in main (tables, game record, options, a small table, the
// evaluation parameters and the built-in network), done once per process.
void fuzz_start_engine();
// fuzz_start_engine, then every setting, the search control record, the
// table contents, the evaluation parameters, the network, the tablebases,
// the log and the game back to their start-up state.
void fuzz_reset_engine();

// Runs the real command loop with `text` as standard input until the input
// ends (the loop then quits as for a GUI that went away).
void fuzz_run_loop(const std::string& text);

// The fuzzers' scratch directory, made once per process (ZERV_FUZZ_SCRATCH
// names one to use instead).
const std::string& fuzz_scratch_dir();
// Writes the bytes to `name` in the scratch directory; returns the path.
std::string fuzz_write_file(const char* name, const uint8_t* data, size_t size);
// The input as C text: it ends at the first zero byte, as it would for
// any reader handed a C string.
std::string fuzz_text(const uint8_t* data, size_t size);

// Positions the harnesses that need one probe or play in: the start,
// Kiwipete, a rook ending, promotions, Chess960 castling with en passant,
// a few endings and two opening positions a book knows, with en-passant
// squares (FUZZ_POSITION_COUNT of them).
extern const char* const FUZZ_POSITIONS[];
extern const int FUZZ_POSITION_COUNT;
// Sets one of them (or any FEN the harness trusts) up as the game.
void fuzz_set_position(const char* fen);

// Network files in the scratch directory (where the engine runs), for
// the NN_File settings of command streams and configuration files: the
// built-in network, and the same cut short.
constexpr const char* FUZZ_VALID_NETWORK = "valid.nn";
constexpr const char* FUZZ_BROKEN_NETWORK = "broken.nn";
// Ends the process loudly: a harness found the engine breaking a promise
// that no sanitizer sees (a round trip that changes a position, say).
[[noreturn]] void fuzz_fail(const char* what);

// The harnesses, one per input kind; the gtest suite replays them over
// the kept regression inputs.
int fuzz_uci(const uint8_t* data, size_t size);
int fuzz_fen(const uint8_t* data, size_t size);
int fuzz_move(const uint8_t* data, size_t size);
int fuzz_epd(const uint8_t* data, size_t size);
int fuzz_pgn(const uint8_t* data, size_t size);
int fuzz_book(const uint8_t* data, size_t size);
int fuzz_network(const uint8_t* data, size_t size);
int fuzz_params(const uint8_t* data, size_t size);
int fuzz_config(const uint8_t* data, size_t size);
int fuzz_syzygy(const uint8_t* data, size_t size);

// In the fuzzer build (ZERV_FUZZ_MAIN) each harness file is the fuzzer's
// entry point; in the test build it is one more function.
#ifdef ZERV_FUZZ_MAIN
#define ZERV_FUZZ_TARGET(harness)                                                \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {     \
    return harness(data, size);                                                  \
  }
#else
#define ZERV_FUZZ_TARGET(harness)
#endif
