#include "dialogue.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

double now_seconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// Reads what is available within `timeoutMs`; false at end of output.
bool read_some(Dialogue& d, int timeoutMs) {
  pollfd p{d.fromEngine, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return true;
  char buffer[4096];
  ssize_t got = read(d.fromEngine, buffer, sizeof buffer);
  if (got <= 0) return false;
  d.output.append(buffer, static_cast<size_t>(got));
  return true;
}

}  // namespace

std::string make_temp_dir() {
  char pattern[] = "/tmp/zerv-test-XXXXXX";
  const char* dir = mkdtemp(pattern);
  return dir ? dir : "/tmp";
}

bool start_engine(Dialogue& d, const std::vector<std::string>& args, const std::string& dir) {
  signal(SIGPIPE, SIG_IGN);  // writing to an engine that has quit must not kill the test
  int in[2], out[2];
  // Close-on-exec, so a second engine never inherits the first one's pipes
  // (it would keep the first one's input open after the test closes it).
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return false;
  d.pid = fork();
  if (d.pid < 0) return false;
  if (d.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(in[0]); close(in[1]); close(out[0]); close(out[1]);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ZERV_BINARY));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(ZERV_BINARY, argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  d.toEngine = in[1];
  d.fromEngine = out[0];
  return true;
}

void send(Dialogue& d, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(d.toEngine, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void close_input(Dialogue& d) {
  if (d.toEngine >= 0) close(d.toEngine);
  d.toEngine = -1;
}

bool wait_for(Dialogue& d, const std::string& text, double seconds) {
  double end = now_seconds() + seconds;
  while (d.output.find(text) == std::string::npos) {
    if (now_seconds() > end || !read_some(d, 50)) return d.output.find(text) != std::string::npos;
  }
  return true;
}

void finish(Dialogue& d, double seconds) {
  double end = now_seconds() + seconds;
  while (now_seconds() < end && read_some(d, 50)) {
  }
  int status = 0;
  bool exited = false;
  while (now_seconds() < end && !exited) {
    exited = waitpid(d.pid, &status, WNOHANG) == d.pid;
    if (!exited) usleep(10000);
  }
  if (!exited) {
    kill(d.pid, SIGKILL);
    waitpid(d.pid, &status, 0);
    d.exitStatus = -2;
  } else {
    d.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -3;
  }
  close_input(d);
  close(d.fromEngine);
  d.fromEngine = -1;
}

Dialogue run_engine(const std::vector<std::string>& args, const std::string& input,
                    const std::string& dir) {
  Dialogue d;
  if (!start_engine(d, args, dir.empty() ? make_temp_dir() : dir)) return d;
  send(d, input);
  close_input(d);
  finish(d, 60.0);
  return d;
}

namespace {

constexpr double QUIET_SECONDS = 0.5;   // how long "does not happen" is watched
constexpr double PUMP_SECONDS = 0.05;   // one read while waiting for a count
const std::string NEVER = "\x01";      // never printed: waiting for it only reads

bool is_console(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "-c") return true;
  return false;
}

// Reads for up to `limit` seconds until `done()`; its last answer.
template <class Done>
bool pump_until(Dialogue& d, double limit, Done done) {
  for (double waited = 0; waited < limit && !done(); waited += PUMP_SECONDS) wait_for(d, NEVER, PUMP_SECONDS);
  return done();
}

}  // namespace

Session::Session(const std::vector<std::string>& args, double promptSeconds) : seconds(promptSeconds) {
  start_engine(d, args, make_temp_dir());
  if (!is_console(args)) sync();
}

// An engine that does not end cleanly on "quit" (a crash, a sanitizer's
// report) fails the test that ran it.
Session::~Session() {
  if (d.pid > 0 && d.exitStatus == -1) {
    send(d, "quit\n");
    finish(d, seconds);
    EXPECT_EQ(d.exitStatus, 0) << d.output.substr(d.output.size() > 2000 ? d.output.size() - 2000 : 0);
  }
}

bool Session::appears_soon(const std::string& text, size_t from) {
  return pump_until(d, QUIET_SECONDS, [&] { return d.output.find(text, from) != std::string::npos; });
}

bool Session::wait_count(const std::string& text, int n) {
  return pump_until(d, seconds, [&] { return count_of(d.output, text) >= n; });
}

bool Session::wait_after(size_t from, const std::string& text) {
  return pump_until(d, seconds, [&] { return d.output.find(text, from) != std::string::npos; });
}

bool Session::sync() {
  int answers = count_of(d.output, "readyok");
  send(d, "isready\n");
  return wait_count("readyok", answers + 1);
}

double cpu_seconds(const Dialogue& d) {
  // After the command name in parentheses: the state, then 10 fields
  // before the user and system times in clock ticks.
  std::string stat = read_file("/proc/" + std::to_string(d.pid) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 1));
  std::string skip;
  for (int i = 0; i < 11; i++) fields >> skip;
  double user = 0, system = 0;
  fields >> user >> system;
  return (user + system) / double(sysconf(_SC_CLK_TCK));
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::vector<std::string>& startup_lines() {
  static const std::vector<std::string> lines = {"info string Hello from Zerv 5.50",
                                                 "info string allocated 64 Mbytes for hash table",
                                                 "info string using embedded network"};
  return lines;
}

bool is_calibration_line(const std::string& line) {
  return line.rfind("info string et= ", 0) == 0;
}

std::vector<std::string> lines_after_startup(const std::string& text) {
  std::vector<std::string> lines = lines_of(text);
  size_t skip = 0;
  while (skip < lines.size() && skip < startup_lines().size() && lines[skip] == startup_lines()[skip])
    skip++;
  // The interactive mode measures the machine's speed before it reads input.
  if (skip < lines.size() && is_calibration_line(lines[skip])) skip++;
  return std::vector<std::string>(lines.begin() + long(skip), lines.end());
}

int count_of(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

std::vector<std::string> best_moves(const std::string& output) {
  std::vector<std::string> moves;
  for (const std::string& l : lines_of(output))
    if (l.rfind("bestmove ", 0) == 0) moves.push_back(l.substr(9, l.find(' ', 9) - 9));
  return moves;
}
