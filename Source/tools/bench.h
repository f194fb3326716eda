// The benchmark (-bench, -pbench, "bench [depth]"): a fixed list of
// positions searched to a fixed depth, with the time per position and the
// node rate.
#pragma once

constexpr int BENCH_POSITIONS = 20;
extern const char* const BenchPositions[BENCH_POSITIONS];

// Searches every position with the settings of the command line (threads,
// hash, depth), prints the header, one line per position, the total and
// last "N nodes M nps", and sets the quit flag. With -pbench the main thread searches itself.
void run_benchmark();
