// The interactive mode's command loop: input is read while the search
// runs, each line goes to the UCI commands (or the console's), and a
// finished search is answered.
#pragma once

// Reads what is waiting on standard input, queues complete lines and runs
// at most one queued command. Once input has ended and the queue is empty
// it acts as "quit".
void poll_input();
// Runs the command loop until the quit flag is set.
void run_interactive();
