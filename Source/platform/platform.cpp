#include "platform/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <new>

namespace {

constexpr int STDIN_FD = 0;
constexpr int POLL_NO_WAIT = 0;
constexpr long NAP_NANOS = 100'000;
constexpr long NANOS_PER_MILLI = 1000000L;
constexpr long MILLIS_PER_SECOND = 1000L;
constexpr double SECONDS_PER_NANO = 1e-9;

pthread_mutex_t ProcessMutex = PTHREAD_MUTEX_INITIALIZER;

struct ThreadStart {
  ThreadEntry entry;
  void* argument;
};

// pthread wants void* (*)(void*); the engine's entries return nothing.
void* run_thread_entry(void* raw) {
  auto* start = static_cast<ThreadStart*>(raw);
  ThreadStart copy = *start;
  delete start;
  copy.entry(copy.argument);
  return nullptr;
}

bool create_thread(pthread_t& id, ThreadEntry entry, void* argument) {
  auto* start = new (std::nothrow) ThreadStart{entry, argument};
  if (!start) return false;
  if (pthread_create(&id, nullptr, run_thread_entry, start) != 0) {
    delete start;
    return false;
  }
  return true;
}

inline void cpu_relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

void init_platform() { signal(SIGPIPE, SIG_IGN); }

int read_input(char* buffer, int capacity) {
  if (capacity <= 0) return INPUT_NONE_WAITING;
  pollfd request{STDIN_FD, POLLIN, 0};
  int ready = poll(&request, 1, POLL_NO_WAIT);
  if (ready < 0) return errno == EINTR ? INPUT_NONE_WAITING : INPUT_CLOSED;
  if (ready == 0) return INPUT_NONE_WAITING;
  if (request.revents & POLLNVAL) return INPUT_CLOSED;
  // POLLHUP and POLLERR also end up here: read() then reports what is left
  // in the pipe, and 0 once the writer is gone for good.
  ssize_t got = read(STDIN_FD, buffer, static_cast<size_t>(capacity));
  if (got > 0) return static_cast<int>(got);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return INPUT_NONE_WAITING;
  return INPUT_CLOSED;
}

void sleep_ms(int milliseconds) {
  timespec wanted{milliseconds / MILLIS_PER_SECOND,
                  (milliseconds % MILLIS_PER_SECOND) * NANOS_PER_MILLI};
  timespec left{};
  while (nanosleep(&wanted, &left) != 0 && errno == EINTR) wanted = left;
}

void sleep_until_input_ms(int milliseconds) {
  pollfd request{STDIN_FD, POLLIN, 0};
  // An interrupted or failed wait just ends early: the caller polls again.
  poll(&request, 1, milliseconds);
}

void nap_briefly() {
  timespec wanted{0, NAP_NANOS};
  nanosleep(&wanted, nullptr);
}

void yield_thread() { sched_yield(); }

double monotonic_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * SECONDS_PER_NANO;
}

bool start_thread(ThreadHandle& handle, ThreadEntry entry, void* argument) {
  handle.running = create_thread(handle.id, entry, argument);
  return handle.running;
}

bool start_detached_thread(ThreadEntry entry, void* argument) {
  pthread_t id;
  if (!create_thread(id, entry, argument)) return false;
  return pthread_detach(id) == 0;
}

bool join_thread(ThreadHandle& handle) {
  if (!handle.running) return false;
  handle.running = false;
  return pthread_join(handle.id, nullptr) == 0;
}

int init_spin_lock(SpinLock& lock) {
  lock.held.store(false, std::memory_order_relaxed);
  return 0;
}

void spin_lock(SpinLock& lock) {
  while (lock.held.exchange(true, std::memory_order_acquire)) {
    while (lock.held.load(std::memory_order_relaxed)) cpu_relax();
  }
}

void spin_unlock(SpinLock& lock) { lock.held.store(false, std::memory_order_release); }

bool map_file(const char* path, MappedFile& out) {
  out = MappedFile{nullptr, 0};
  int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && info.st_size > 0;
  if (ok) {
    void* data = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
    ok = data != MAP_FAILED;
    if (ok) out = MappedFile{data, static_cast<size_t>(info.st_size)};
  }
  close(fd);  // the mapping stays valid without the descriptor
  return ok;
}

void unmap_file(MappedFile& file) {
  if (file.data) munmap(const_cast<void*>(file.data), file.size);
  file = MappedFile{nullptr, 0};
}

void lock_process_mutex() { pthread_mutex_lock(&ProcessMutex); }
void unlock_process_mutex() { pthread_mutex_unlock(&ProcessMutex); }

bool file_exists(const char* path) { return access(path, F_OK) == 0; }

long long file_size(const char* path) {
  struct stat info {};
  if (stat(path, &info) != 0) return -1;
  return static_cast<long long>(info.st_size);
}

unsigned long last_system_error() { return static_cast<unsigned long>(errno); }

bool file_in_use(const char* path) {
  int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  bool busy = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);  // also drops the probing lock
  return busy;
}

bool hold_file(std::FILE* file) { return flock(fileno(file), LOCK_EX | LOCK_NB) == 0; }

bool delete_file(const char* path) { return unlink(path) == 0 || errno == ENOENT; }

void advise_huge_pages(void* block, size_t bytes) {
#ifdef MADV_HUGEPAGE
  madvise(block, bytes, MADV_HUGEPAGE);
#else
  (void)block, (void)bytes;
#endif
}

CpuVectorSupport cpu_vector_support() {
  CpuVectorSupport s = {false, false, false};
  // The feature bits are x86 business; elsewhere the engine runs its
  // scalar loops. The compiler's cpuid helpers also check that the
  // operating system saves the AVX and AVX-512 register state.
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  s.sse2 = __builtin_cpu_supports("sse2");
  s.avx2Fma = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  s.avx512 = s.avx2Fma && __builtin_cpu_supports("avx512f");
#endif
  return s;
}
