// Console mode (-c): plain-text commands for a person at a terminal.
#pragma once

// Runs one console command line (every line except "uci" in console mode).
void console_command(const char* line);
