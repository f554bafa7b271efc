#include "platform/ApplicationTitle.h"

#include <QString>

#include "platform/ExecutablePath.h"
#include "platform/PathParts.h"

namespace velt {

std::string ApplicationTitle() { return ApplicationTitleOf(ExecutablePath()); }

std::string ApplicationTitleOf(const std::string& executablePath) {
  const std::string fileName = FileNameOf(executablePath);
  const std::string name = fileName.substr(0, fileName.find('.'));
  const QString title = QString::fromStdString(name);
  if (title.isEmpty()) return {};
  // A character outside the basic plane takes two UTF-16 units; keep both.
  const qsizetype firstLength = title.at(0).isHighSurrogate() && title.size() > 1 ? 2 : 1;
  return (title.left(firstLength) + title.mid(firstLength).toLower()).toStdString();
}

}  // namespace velt
