#include "app/DatabasePath.h"

#include "about/ApplicationTitle.h"
#include "platform/ExecutablePath.h"
#include "platform/UserDataFolder.h"

namespace velt {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

std::string DatabasePathForExecutable(const std::string& executablePath) {
  const size_t nameStart = executablePath.find_last_of('/');
  const size_t dot = executablePath.find_last_of('.');
  const bool dotInName = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  return (dotInName ? executablePath.substr(0, dot) : executablePath) + ".mdb";
}

std::string ChooseDatabasePath(const std::string& executablePath, bool besideIsWritable,
                               const std::string& dataHome) {
  const std::string beside = DatabasePathForExecutable(executablePath);
  if (besideIsWritable) return beside;
  return dataHome + "/" + ApplicationTitleOf(executablePath) + "/" + FileNameOf(beside);
}

std::string IndexDatabasePath() {
  const std::string executable = ExecutablePath();
  const std::string path =
      ChooseDatabasePath(executable, FolderIsWritable(FolderOf(executable)), UserDataHome());
  // A folder that cannot be made shows itself when the file cannot be
  // created there: the log then names the path.
  MakeUserFolder(FolderOf(path));
  return path;
}

}  // namespace velt
