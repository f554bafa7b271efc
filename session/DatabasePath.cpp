#include "session/DatabasePath.h"

#include "platform/ApplicationTitle.h"
#include "platform/ExecutablePath.h"
#include "platform/PathParts.h"
#include "platform/UserDataFolder.h"

namespace velt {
std::string DatabasePathForExecutable(const std::string& executablePath) {
  const std::string name = FileNameOf(executablePath);
  const size_t dot = name.find_last_of('.');
  return executablePath.substr(0, executablePath.size() - name.size()) + name.substr(0, dot) + ".mdb";
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
