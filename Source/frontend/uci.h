// The interactive mode: the non-blocking command reader, the main loop and
// the UCI commands.
#pragma once

constexpr const char* ENGINE_NAME = "Zerv 5.50";
constexpr const char* ENGINE_AUTHOR = "Orvande";

// Input buffer sizes: a line being read, the queue of complete lines (each
// closed by '@') and the command being executed.
constexpr int INPUT_LINE_SIZE = 4992;
constexpr int INPUT_QUEUE_SIZE = 4995;
constexpr int COMMAND_SIZE = 4999;
constexpr char COMMAND_SEPARATOR = '@';

// Reads what is waiting on standard input, queues complete lines and runs
// at most one queued command. Once input has ended and the queue is empty
// it acts as "quit".
void poll_input();
// Waits for the next input line (for the console's board editor); false
// once input has ended. Longer lines are cut to size - 1 characters.
bool read_console_line(char* out, int size);
// Runs one UCI command line (no line end); in console mode only "uci".
void uci_command(const char* command);
// Forgets every byte read but not yet run and the end-of-input mark, so
// that a new input stream (a test's or a fuzzer's) starts clean.
void reset_input();
// Runs the command loop until the quit flag is set.
void run_interactive();
// Stops a running search and waits until it has finished, without printing
// its answer.
void stop_and_wait();
