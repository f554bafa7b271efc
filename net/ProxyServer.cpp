#include "net/ProxyServer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "net/AsciiCase.h"

namespace velt {
namespace {

std::optional<std::string> PercentDecoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= text.size()) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
    if (error != std::errc() || end != text.data() + i + 3) return std::nullopt;
    decoded += static_cast<char>(value);
    i += 2;
  }
  return decoded;
}

// A credential goes into a header line: a decoded line break would let the
// URL write headers of its own.
bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < ' ' || c == 0x7F; });
}

bool IsHostCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_'; }

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    for (std::size_t digit = 0; digit < 4; ++digit) {
      encoded += i + digit <= bytes.size() ? kDigits[(group >> (18 - 6 * digit)) & 0x3F] : '=';
    }
  }
  return encoded;
}

}  // namespace

std::string ProxyServer::Name() const { return host + ":" + std::to_string(port); }

std::string ProxyServer::Display() const {
  // A user part may be a token that works without a password.
  return "http://" + std::string(user.empty() ? "" : "****@") + Name();
}

std::string ProxyServer::AuthorizationLine() const {
  if (user.empty()) return "";
  return "Proxy-Authorization: Basic " + Base64(user + ":" + password) + "\r\n";
}

std::string ParseProxyUrl(const std::string& text, ProxyServer& proxy) {
  std::string rest = text;
  if (const std::size_t scheme = rest.find("://"); scheme != std::string::npos) {
    if (!SameAsciiText(rest.substr(0, scheme), "http")) {
      return "the proxy scheme " + rest.substr(0, scheme) +
             ":// is not supported; a proxy URL is http://[user:password@]host[:port]";
    }
    rest.erase(0, scheme + 3);
  }
  rest = rest.substr(0, rest.find('/'));
  ProxyServer parsed;
  if (const std::size_t at = rest.rfind('@'); at != std::string::npos) {
    const std::string userInfo = rest.substr(0, at);
    const std::size_t colon = userInfo.find(':');
    const auto user = PercentDecoded(userInfo.substr(0, colon));
    const auto password = PercentDecoded(colon == std::string::npos ? "" : userInfo.substr(colon + 1));
    if (!user || !password) return "the proxy's user or password has a broken %-escape";
    if (HasControlCharacter(*user) || HasControlCharacter(*password)) {
      return "the proxy's user or password holds a control character";
    }
    parsed.user = *user;
    parsed.password = *password;
    rest.erase(0, at + 1);
  }
  if (const std::size_t colon = rest.find(':'); colon != std::string::npos) {
    const std::string digits = rest.substr(colon + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed.port);
    if (digits.empty() || digits.size() > 5 || error != std::errc() || end != digits.data() + digits.size() ||
        parsed.port < 1 || parsed.port > 65535) {
      return "the proxy's port must be a number from 1 to 65535";
    }
    rest.resize(colon);
  }
  if (rest.empty() || !std::all_of(rest.begin(), rest.end(), IsHostCharacter)) {
    return "the proxy's host must be a name or an IPv4 address";
  }
  parsed.host = rest;
  proxy = parsed;
  return "";
}

}  // namespace velt
