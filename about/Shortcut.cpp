#include "about/Shortcut.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/Error.h"

namespace velt {
namespace {

// The escapes of a desktop entry's string values.
std::string EscapedValue(const std::string& value) {
  std::string escaped;
  for (const char c : value) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// One argument of the Exec line: always quoted, with the characters that
// are special inside quotes escaped and "%" doubled so that it is not taken
// for a field code.
std::string QuotedArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return quoted + "\"";
}

}  // namespace

std::string DesktopEntryText(const std::string& target, const std::string& name) {
  const std::string folder = QFileInfo(QString::fromStdString(target)).absolutePath().toStdString();
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=" + EscapedValue(name) + "\n"
         // "/starup", spelt so on purpose: the program accepts it as shortcuts know it.
         "Exec=" + EscapedValue(QuotedArgument(target) + " /starup") + "\n"
         "Path=" + EscapedValue(folder) + "\n"
         "Terminal=false\n";
}

void CreateShortcut(const std::string& target, const std::string& folder, const std::string& name) {
  std::string directory = folder;
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  if (directory.empty()) throw Error("The folder for the shortcut \"" + name + "\" is not known.");
  const QString path = QString::fromStdString(directory + "/" + name + ".desktop");
  QSaveFile file(path);
  const std::string content = DesktopEntryText(target, name);
  if (!file.open(QIODevice::WriteOnly) || file.write(content.data(), static_cast<qint64>(content.size())) < 0 ||
      !file.commit()) {
    throw Error("Cannot write the shortcut \"" + path.toStdString() + "\": " + file.errorString().toStdString());
  }
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                  QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

}  // namespace velt
