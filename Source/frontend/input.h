// Reading standard input without blocking the engine: bytes are sorted
// into complete lines and queued, one command is taken out at a time.
#pragma once

// Input buffer sizes: a line being read, the queue of complete lines (each
// closed by COMMAND_SEPARATOR) and the command being executed.
constexpr int INPUT_LINE_SIZE = 4992;
constexpr int INPUT_QUEUE_SIZE = 4995;
constexpr int COMMAND_SIZE = 4999;
// Closes each line in the queue and each held command. A line is cut at its
// line feed, so no command can contain one, while any printable character
// may stand in an option's value (a path such as /home/a@b/tables).
constexpr char COMMAND_SEPARATOR = '\n';
// The longest a reader waits for input before it looks at the clock (or
// the search) again; a line arriving ends the wait at once.
constexpr int INPUT_POLL_MS = 2;

// Reads what is waiting on standard input and takes the oldest complete
// line (without its line end) into `out`; false when no line is complete.
bool next_command(char* out, int size);
// Input read but not yet executed: the loop goes on without sleeping.
bool input_waiting();
// Input has ended and every line read has been taken.
bool input_exhausted();
// Waits for the next input line (for the console's board editor); false
// once input has ended. Longer lines are cut to size - 1 characters.
bool read_console_line(char* out, int size);
// Forgets every byte read but not yet run and the end-of-input mark, so
// that a new input stream (a test's or a fuzzer's) starts clean.
void reset_input();

// Commands that wait for the running search to end, kept in arrival order.
// Keeps "word args"; false when there is no room.
bool hold_command(const char* word, const char* args);
bool held_commands_waiting();
// Takes the oldest held command into `out`; false when none is held.
bool take_held_command(char* out, int size);
