#include "tests/faults/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace velt::faults {

using Clock = std::chrono::steady_clock;

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  std::vector<std::string> words = argv;
  std::vector<char*> args;
  for (std::string& word : words) args.push_back(word.data());
  args.push_back(nullptr);
  const int rc = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  output_ = pipeEnds[0];
  if (rc != 0) throw std::runtime_error("cannot start " + argv.front());
}

ChildProcess::~ChildProcess() {
  if (!exited_) {
    Signal(SIGKILL);
    Wait(std::chrono::seconds(10));
  }
  ::close(output_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const auto end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      lines_.push_back(line);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd wait{output_, POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) continue;
    char block[4096];
    const ssize_t got = ::read(output_, block, sizeof block);
    if (got <= 0) return std::nullopt;
    pending_.append(block, static_cast<std::size_t>(got));
  }
}

std::optional<std::string> ChildProcess::WaitForLine(const std::string& prefix, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    const auto line =
        ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    if (!line) return std::nullopt;
    if (line->starts_with(prefix)) return line;
  }
  return std::nullopt;
}

void ChildProcess::Signal(int signal) {
  if (!exited_) ::kill(pid_, signal);
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!exited_) {
    const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
    if (done == pid_) {
      exited_ = true;
    } else if (Clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
      exited_ = true;
      return -1;
    } else {
      // Drain the output so a chatty child never blocks on a full pipe.
      ReadLine(std::chrono::milliseconds(10));
    }
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

}  // namespace velt::faults
