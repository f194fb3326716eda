// Runs the built engine as a GUI would: a child process with its standard
// input and output on pipes, in a directory of the test's choosing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Dialogue {
  int pid = -1;
  int toEngine = -1;    // write end of the engine's standard input
  int fromEngine = -1;  // read end of its standard output (stderr joined)
  std::string output;   // everything read so far
  int exitStatus = -1;  // set by finish(); -2 when the engine had to be killed
};

// A fresh empty directory under the system's temporary directory.
std::string make_temp_dir();
// Starts the engine binary with `args` in directory `dir`.
bool start_engine(Dialogue& d, const std::vector<std::string>& args, const std::string& dir);
// Writes the text in one write() call (two commands in one read).
void send(Dialogue& d, const std::string& text);
// Closes the engine's standard input: end of input, as when a GUI dies.
void close_input(Dialogue& d);
// Reads until `text` appears in the output or `seconds` pass; true if seen.
bool wait_for(Dialogue& d, const std::string& text, double seconds);
// Reads everything until the engine exits (killing it after `seconds`)
// and records its exit status.
void finish(Dialogue& d, double seconds);
// One-shot run: input written at once, input closed, output collected.
Dialogue run_engine(const std::vector<std::string>& args, const std::string& input,
                    const std::string& dir = "");
// A scenario of several exchanges with one running engine: started in a
// fresh directory (after "isready" is answered, in UCI mode), told to quit
// at the end unless the test ended it, and then expected to exit with 0.
// Waits are guarded by `seconds`.
struct Session {
  Dialogue d;
  double seconds;
  explicit Session(const std::vector<std::string>& args = {}, double promptSeconds = 20.0);
  ~Session();
  bool wait(const std::string& text) { return wait_for(d, text, seconds); }
  // Reads for a short while: true if `text` shows up (at or after `from`).
  bool appears_soon(const std::string& text, size_t from = 0);
  // Reads until `text` has appeared `n` times in all.
  bool wait_count(const std::string& text, int n);
  // Reads until `text` appears at or after `from` in the output.
  bool wait_after(size_t from, const std::string& text);
  // "isready" and its answer: everything sent before has been read.
  bool sync();
};
// Processor time (user and system) the engine has used so far.
double cpu_seconds(const Dialogue& d);
std::vector<std::string> lines_of(const std::string& text);
// What `action` prints to standard output, whole or in lines (in-process
// tests).
template <class F>
std::string captured_output(F action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}
template <class F>
std::vector<std::string> captured_lines(F action) { return lines_of(captured_output(action)); }
// The moves of the "bestmove" lines, in order.
std::vector<std::string> best_moves(const std::string& output);
// How often `part` occurs in `text` (overlapping occurrences counted).
int count_of(const std::string& text, const std::string& part);
// What the engine prints at start-up before it reads any command.
const std::vector<std::string>& startup_lines();
// The speed calibration's line, printed once the interactive mode starts.
bool is_calibration_line(const std::string& line);
// The output lines after the start-up block and the calibration line.
std::vector<std::string> lines_after_startup(const std::string& text);
std::string read_file(const std::string& path);
