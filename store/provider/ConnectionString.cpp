#include "store/provider/ConnectionString.h"

#include <cctype>
#include <optional>

#include "platform/Error.h"

namespace velt::provider {

namespace {

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return std::string(text.substr(begin, end - begin));
}

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

constexpr std::string_view kProvider = "Provider";
constexpr std::string_view kPassword = "Jet OLEDB:Database Password";
constexpr std::string_view kDataSource = "Data Source";
constexpr std::string_view kKnownKeys[] = {kProvider, kPassword, kDataSource, "User ID", "Password",
                                           "Mode"};

// The known key that `segment` starts with ("key=..."), if any.
std::optional<std::string_view> KeyOf(std::string_view segment) {
  const auto equals = segment.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string key = Trim(segment.substr(0, equals));
  for (std::string_view known : kKnownKeys)
    if (SameKey(key, known)) return known;
  return std::nullopt;
}

}  // namespace

ConnectionSettings ParseConnectionString(std::string_view text) {
  ConnectionSettings settings;
  std::optional<std::string> provider;
  std::optional<std::string> dataSource;
  std::string* current = nullptr;
  std::string ignored;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view segment = text.substr(pos, end - pos);
    if (segment.empty()) {
      pos = end + 1;
      continue;
    }
    const auto key = KeyOf(segment);
    if (key && *key == kDataSource) {
      dataSource = Trim(text.substr(pos + segment.find('=') + 1));
      break;
    }
    if (key) {
      current = *key == kProvider ? &provider.emplace() : *key == kPassword ? &settings.password : &ignored;
      *current = std::string(segment.substr(segment.find('=') + 1));
    } else if (current) {
      *current += ";" + std::string(segment);
    } else {
      throw Error("The connection text is not understood: \"" + std::string(text) + "\".");
    }
    pos = end + 1;
  }
  if (!provider) throw Error("The connection text names no provider.");
  if (!SameKey(Trim(*provider), ProviderName))
    throw Error("The provider \"" + Trim(*provider) + "\" is not known.");
  if (!dataSource || dataSource->empty()) throw Error("The connection text names no data source.");
  settings.dataSource = *dataSource;
  return settings;
}

}  // namespace velt::provider
