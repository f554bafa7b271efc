#include "tools/kbsite/SiteProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velt::kbsite {
namespace {

using Clock = std::chrono::steady_clock;

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

// Waits for the child; false when the time passes first.
bool WaitExit(pid_t pid, std::chrono::milliseconds limit, int& status) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || done < 0) return true;
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

SiteProcess::SiteProcess(const std::vector<std::string>& arguments, int port, const std::string& program) {
  char path[] = "/tmp/kbsite-served-XXXXXX";
  const int output = ::mkstemp(path);
  if (output < 0) throw std::runtime_error("kbsite: cannot make an output file");
  outputPath_ = path;

  std::vector<std::string> words = {program, "--port", std::to_string(port)};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  const int spawned = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output);
  if (spawned != 0) {
    pid_ = -1;
    throw std::runtime_error("kbsite: cannot start " + program);
  }
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!Accepts(port)) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;  // it has ended already
    if (pid_ < 0 || Clock::now() > deadline) {
      Stop();
      ::unlink(outputPath_.c_str());
      throw std::runtime_error("kbsite did not start on port " + std::to_string(port));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

SiteProcess::~SiteProcess() {
  Stop();
  ::unlink(outputPath_.c_str());
}

int SiteProcess::Stop(int signal) {
  if (pid_ < 0) return -1;
  const pid_t pid = pid_;
  pid_ = -1;
  ::kill(pid, signal);
  int status = 0;
  if (!WaitExit(pid, std::chrono::seconds(10), status)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

std::vector<std::string> SiteProcess::ServedLines() const {
  std::ifstream file(outputPath_);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

}  // namespace velt::kbsite
