// The engine's only contact with the operating system (POSIX): standard
// input without blocking, sleeping, the clock, threads, locks, memory
// mapping and file housekeeping. Every other file goes through these.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <cstdio>

// Process-wide settings made once at start-up: a reader that goes away
// (a GUI closing its end of the pipe) must not kill the engine mid-write.
void init_platform();

// Results of read_input besides a positive byte count.
constexpr int INPUT_NONE_WAITING = 0;
constexpr int INPUT_CLOSED = -1;

// Reads what standard input holds right now, pipe or terminal, without
// waiting: the number of bytes stored (at most `capacity`), 0 when nothing
// is waiting, INPUT_CLOSED once the writer has gone (end of input).
int read_input(char* buffer, int capacity);

void sleep_ms(int milliseconds);
// The nap of a thread that waits for another (a search to finish, a flag
// to change): short, so the wait adds almost nothing to a reply.
constexpr int WAIT_SLEEP_MS = 1;
constexpr float MS_PER_SECOND = 1000.0f;
// The status the program ends with when a search thread cannot be started
// or joined: the engine cannot go on without it.
constexpr int EXIT_THREAD_FAILURE = -1;
// Sleeps like sleep_ms but wakes as soon as standard input has something
// to read (or has been closed), so a command is answered without delay.
void sleep_until_input_ms(int milliseconds);
// Sleeps about a tenth of a millisecond: fine enough to time a short search
// precisely, long enough to leave the processor to the search threads.
void nap_briefly();
// Gives the rest of the time slice to another thread.
void yield_thread();
// Seconds on a clock that never jumps (not the wall clock).
double monotonic_seconds();

// Vector instruction sets that both the processor and the operating system
// (which must save the wider registers on a task switch) support.
struct CpuVectorSupport {
  bool sse2;
  bool avx2Fma;  // AVX2 together with fused multiply-add
  bool avx512;   // AVX-512 foundation
};
CpuVectorSupport cpu_vector_support();

struct ThreadHandle {
  pthread_t id;
  bool running;  // started and not yet joined
};
using ThreadEntry = void (*)(void* argument);

// Both return false when the system refuses a new thread.
bool start_thread(ThreadHandle& handle, ThreadEntry entry, void* argument);
bool start_detached_thread(ThreadEntry entry, void* argument);
// Waits for a thread started with start_thread; false if it cannot.
bool join_thread(ThreadHandle& handle);

// Busy-waiting lock for very short critical sections (one output line, one
// counter update), where putting a thread to sleep would cost more.
struct SpinLock {
  std::atomic<bool> held;
};
// Returns 0; the lock needs no system resources that could be refused.
int init_spin_lock(SpinLock& lock);
void spin_lock(SpinLock& lock);
void spin_unlock(SpinLock& lock);

// A whole file mapped read-only into memory.
struct MappedFile {
  const void* data;
  size_t size;
};
// False (and an empty record) when the file cannot be opened or mapped;
// an empty file cannot be mapped.
bool map_file(const char* path, MappedFile& out);

// The page size the system can back large blocks with.
constexpr size_t HUGE_PAGE_BYTES = size_t(2) << 20;
// Asks the system to back a block that starts on a HUGE_PAGE_BYTES
// boundary with huge pages, so that reads scattered over it (the network's
// weight columns) miss the address-translation cache less often. A refusal
// changes nothing but the speed.
void advise_huge_pages(void* block, size_t bytes);
void unmap_file(MappedFile& file);

// One lock for the whole process, for work that must run once even when
// several threads ask for it at the same moment (lazy file mapping).
void lock_process_mutex();
void unlock_process_mutex();

bool file_exists(const char* path);
// Size in bytes, -1 when the file cannot be examined.
long long file_size(const char* path);
// The operating system's code for the last failed call (for messages).
unsigned long last_system_error();
// Another process holds the file with hold_file (the log of a second
// engine started in the same directory).
bool file_in_use(const char* path);
// Marks an open file as held by this process until it is closed.
bool hold_file(std::FILE* file);
// True when the file is gone afterwards.
bool delete_file(const char* path);
