#include "bench/scale/ShellRunner.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace velt::scale {

namespace {

constexpr char kTimePrefix[] = "Run Time: real ";

}  // namespace

ShellRun RunShell(const std::string& file, const std::string& extension, const std::string& script) {
  const std::string scriptPath = "/tmp/scale_bench_shell_" + std::to_string(::getpid()) + ".sql";
  {
    std::ofstream out(scriptPath);
    if (!extension.empty()) out << ".load " << extension << "\n";
    out << ".timer on\n" << script;
  }
  const std::string command = "sqlite3 -batch '" + file + "' < '" + scriptPath + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    std::fprintf(stderr, "could not start the sqlite3 shell\n");
    std::exit(1);
  }
  ShellRun run;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind(kTimePrefix, 0) == 0) {
      run.seconds.push_back(std::atof(line.c_str() + sizeof kTimePrefix - 1));
    } else {
      run.lines.push_back(line);
    }
  }
  const int status = ::pclose(pipe);
  std::remove(scriptPath.c_str());
  if (status != 0) {
    std::fprintf(stderr, "the sqlite3 shell failed:\n");
    for (const std::string& line : run.lines) std::fprintf(stderr, "  %s\n", line.c_str());
    std::exit(1);
  }
  return run;
}

}  // namespace velt::scale
