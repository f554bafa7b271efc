#include "about/VersionInfo.h"

#include <fcntl.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QWidget>
#include <string_view>

#include "platform/ApplicationTitle.h"
#include "platform/ExecutablePath.h"

namespace velt {
namespace {

// The markers must not appear as plain bytes in this library, or every
// executable that links it would seem to carry a block. They are kept
// scrambled and unscrambled with a key the compiler cannot fold away.
std::string Unscramble(std::string_view scrambled) {
  static volatile unsigned char key = 0x5A;
  std::string plain(scrambled);
  for (char& c : plain) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
  return plain;
}

// "\x02VELT:VERSION:BEGIN\n" and "VELT:VERSION:END\x02", each byte ^ 0x5A.
constexpr char kBeginScrambled[] = "\x58\x0c\x1f\x16\x0e\x60\x0c\x1f\x08\x09\x13\x15\x14\x60\x18\x1f\x1d\x13\x14\x50";
constexpr char kEndScrambled[] = "\x0c\x1f\x16\x0e\x60\x0c\x1f\x08\x09\x13\x15\x14\x60\x1f\x14\x1e\x58";
constexpr size_t kMaxBlockSize = 4096;

class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      void* data = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (data != MAP_FAILED) {
        data_ = static_cast<const char*>(data);
        size_ = static_cast<size_t>(info.st_size);
      }
    }
    close(fd);
  }
  ~MappedFile() {
    if (data_) munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Bytes() const { return {data_ ? data_ : "", size_}; }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};

// The text between the first begin marker that has an end marker close
// behind it and no zero byte in between; empty when there is none.
std::string_view FindBlock(std::string_view file) {
  const std::string begin = Unscramble(kBeginScrambled);
  const std::string end = Unscramble(kEndScrambled);
  for (size_t at = file.find(begin); at != std::string_view::npos; at = file.find(begin, at + 1)) {
    const std::string_view rest = file.substr(at + begin.size(), kMaxBlockSize);
    const size_t stop = rest.find(end);
    const std::string_view body = rest.substr(0, stop);
    if (stop != std::string_view::npos && body.find('\0') == std::string_view::npos) return body;
  }
  return {};
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string GetVersionString(const std::string& key, const std::string& filePath) {
  const MappedFile file(filePath);
  std::string_view block = FindBlock(file.Bytes());
  while (!block.empty()) {
    const size_t lineEnd = block.find('\n');
    const std::string_view line = block.substr(0, lineEnd);
    block = lineEnd == std::string_view::npos ? std::string_view() : block.substr(lineEnd + 1);
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos && line.substr(0, equals) == key) {
      return std::string(Trimmed(line.substr(equals + 1)));
    }
  }
  return {};
}

std::string VersionCaption(const std::string& executablePath, const std::string& windowName) {
  return ApplicationTitleOf(executablePath) + " Ver." + GetVersionString("FileVersion", executablePath) +
         " - " + windowName;
}

void SetVersionCaption(QWidget& window) {
  window.setWindowTitle(
      QString::fromStdString(VersionCaption(ExecutablePath(), window.objectName().toStdString())));
}

}  // namespace velt
