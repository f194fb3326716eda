// The option list of "uci", the option handler behind "setoption" and the
// configuration file, which is a list of name=value lines for that handler.
#pragma once

// A "setoption" name keeps 100 characters, a value 200.
constexpr int OPTION_NAME_SIZE = 101;
constexpr int OPTION_VALUE_SIZE = 201;
// Configuration files may name further files through ConfigFilePath; a
// chain deeper than this is refused (it can only be a loop).
constexpr int MAX_CONFIG_NESTING = 8;

// The 23 option lines, defaults from OptionDefaults except the settings
// kept outside the record (network file, network switch, Chess960).
void print_options();
// Applies one setting by its name, in any case ("hash" is Hash); unknown
// names and settings that would disturb a running search are dropped
// silently. Messages name the option as "uci" lists it.
void set_option(const char* name, const char* value);
// Whether the setting may change while a search runs: only those the main
// thread alone reads, when a search starts or when it asks the book before
// one. Every other one is read or owned by the search threads.
bool option_safe_during_search(const char* name);
// Splits the arguments of "setoption" into the words after "name" and
// "value"; false when there is no name to set.
bool parse_setoption(const char* args, char* name, char* value);
// The whole "setoption" command: parse, apply, and report the settings in
// force as the defaults from now on.
void setoption_command(const char* args);
// Reads the file named by ConfigFilePath: 1 when it was read, 0 when it
// could not be opened or would be loaded inside itself.
int load_config();
