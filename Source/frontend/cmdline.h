// The command line: settings, fixed search limits and the run mode.
#pragma once

constexpr int ANALYSIS_FILE_SIZE = 140;  // EPD analysis input and tool output
constexpr int SOURCE_FILE_SIZE = 141;    // book source, PGN scan and tuning input
constexpr int MODE_OPTION_SIZE = 24;

// What the command line asked for beyond the settings records.
struct CommandLine {
  char analysisFile[ANALYSIS_FILE_SIZE];  // -anepd
  char outputFile[ANALYSIS_FILE_SIZE];    // -o
  char sourceFile[SOURCE_FILE_SIZE];      // -mkbook, -scan_pgn*, -mktune*, -mktraindata, -tune*
  char modeOption[MODE_OPTION_SIZE];      // the option that chose the run mode
  int trainingCount;                      // second value of -mktraindata
  double tuneRate;
  int tuneCount;
  int tuneVariant;                        // optional fourth -tune value, 0 or 1
  bool depthGiven;                        // -d was given (hash sized to the depth)
  bool nodesGiven;                        // -n was given (hash sized to the nodes)
  int exitStatus;                         // when parsing ends the program
};

// Reads argv[1..] into Options, Control and `line`, each argument compared
// with every option in a fixed order (a value is itself compared with the
// options listed after the one that took it). False when the program must
// end at once with line.exitStatus.
bool parse_command_line(int argc, char* argv[], CommandLine& line);

// Fixed depth or node limits from the command line need little hash: the
// table is sized to the work instead of the Hash setting.
void apply_fixed_limit_hash(const CommandLine& line);
