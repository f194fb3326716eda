// The UCI commands and their table: each command word runs its handler;
// commands that would disturb a running search wait until it has ended.
#pragma once

constexpr const char* ENGINE_NAME = "Zerv 5.50";
constexpr const char* ENGINE_AUTHOR = "Orvande";

// Runs one UCI command line (no line end), logged when echo is on; in
// console mode the loop hands over only "uci".
void uci_command(const char* command);
// Runs one command line without logging it again.
void run_command(const char* command);
// The commands held back during the search that has just ended, in order.
void run_held_commands();
