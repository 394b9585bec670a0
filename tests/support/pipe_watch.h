#pragma once
// A named pipe put in the place of a file while a job runs. Whatever opens
// it for reading waits for a writer that never comes; the watch lets such
// an opening go on at once, so that the test fails instead of hanging, and
// tells whether anything waited. The pipe goes with the watch.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

class PipeWatch {
 public:
  explicit PipeWatch(std::filesystem::path file) : file_(std::move(file)) {
    std::error_code ec;
    std::filesystem::remove(file_, ec);
    made_ = ::mkfifo(file_.c_str(), 0644) == 0;
    if (made_) watcher_ = std::thread([this] { watch(); });
  }
  ~PipeWatch() {
    stop();
    std::error_code ec;
    if (made_) std::filesystem::remove(file_, ec);
  }
  PipeWatch(const PipeWatch&) = delete;
  PipeWatch& operator=(const PipeWatch&) = delete;

  bool made() const { return made_; }
  // Whether anything opened the pipe for reading; the watch ends.
  bool waitedOn() {
    stop();
    return waitedOn_;
  }

 private:
  void watch() {
    std::unique_lock lock(mutex_);
    while (!stopped_.wait_for(lock, std::chrono::milliseconds(5), [this] { return stopping_; })) {
      // A pipe lets a writer in without waiting only while a reader holds it.
      const int fd = ::open(file_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd < 0) continue;
      waitedOn_ = true;
      ::close(fd);
    }
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    stopped_.notify_all();
    if (watcher_.joinable()) watcher_.join();
  }

  std::filesystem::path file_;
  bool made_ = false;
  bool waitedOn_ = false;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::thread watcher_;
};

// Ends a wait of the process's own thread that a test cannot end from
// elsewhere (a writer opening a pipe that nobody reads): after `seconds`,
// the system call waiting fails with EINTR, and the test fails on that.
// So does each wait after it, a fifth of a second on, until the guard goes:
// a program that waits at every line of a protocol ends too.
class InterruptAfter {
 public:
  explicit InterruptAfter(unsigned seconds) {
    struct sigaction interrupt {};
    interrupt.sa_handler = [](int) {};
    sigemptyset(&interrupt.sa_mask);
    ::sigaction(SIGALRM, &interrupt, &old_);
    itimerval timer{};
    timer.it_value.tv_sec = seconds;
    timer.it_interval.tv_usec = 200'000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
  }
  ~InterruptAfter() {
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &old_, nullptr);
  }
  InterruptAfter(const InterruptAfter&) = delete;
  InterruptAfter& operator=(const InterruptAfter&) = delete;

 private:
  struct sigaction old_ {};
};

// What may be put in the place of a file that a program writes by name
// and that is no file: a named pipe that nobody reads (watched), a
// directory, a link into a directory that is not there; with what the
// refusal of it says.
struct NoFile {
  const char* what;
  std::function<std::unique_ptr<PipeWatch>(const std::filesystem::path&)> put;
  std::string cause;
};

inline std::vector<NoFile> NoFiles() {
  namespace fs = std::filesystem;
  return {
      {"a named pipe", [](const fs::path& file) { return std::make_unique<PipeWatch>(file); },
       "není soubor, ale pojmenovaná roura"},
      {"a directory", [](const fs::path& file) { return fs::create_directory(file), nullptr; },
       "není soubor, ale adresář"},
      {"a link to nowhere",
       [](const fs::path& file) {
         return fs::create_symlink(file.parent_path() / "chybí" / file.filename(), file), nullptr;
       },
       "soubor nebo adresář neexistuje"},
  };
}

}  // namespace test_support
