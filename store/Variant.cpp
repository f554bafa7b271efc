#include "store/Variant.h"

#include <charconv>
#include <cmath>

#include "platform/Error.h"

namespace velt {

Variant Variant::Null() {
  Variant v;
  v.value_ = NullTag{};
  return v;
}

Variant::Kind Variant::GetKind() const { return static_cast<Kind>(value_.index()); }

std::string Variant::AsText() const {
  switch (GetKind()) {
    case Kind::Empty:
    case Kind::Null:
      return {};
    case Kind::Integer:
      return std::to_string(std::get<std::int64_t>(value_));
    case Kind::Double: {
      char buffer[64];
      auto result = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(value_));
      return std::string(buffer, result.ptr);
    }
    case Kind::Bool:
      return std::get<bool>(value_) ? "True" : "False";
    case Kind::Text:
      return std::get<std::string>(value_);
  }
  return {};
}

namespace {

std::int64_t ParseInteger(const std::string& text) {
  auto first = text.find_first_not_of(" \t");
  auto last = text.find_last_not_of(" \t");
  if (first != std::string::npos) {
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    std::int64_t value = 0;
    auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc() && result.ptr == end) return value;
    double real = 0;
    auto realResult = std::from_chars(begin, end, real);
    if (realResult.ec == std::errc() && realResult.ptr == end && std::isfinite(real) &&
        std::fabs(real) < 9.2e18)
      return static_cast<std::int64_t>(real);
  }
  throw Error("Type mismatch: \"" + text + "\" is not a number");
}

}  // namespace

std::int64_t Variant::AsInteger() const {
  switch (GetKind()) {
    case Kind::Empty:
    case Kind::Null:
      throw Error("Invalid use of Null");
    case Kind::Integer:
      return std::get<std::int64_t>(value_);
    case Kind::Double: {
      double real = std::get<double>(value_);
      if (!std::isfinite(real) || std::fabs(real) >= 9.2e18) throw Error("Overflow");
      return static_cast<std::int64_t>(real);
    }
    case Kind::Bool:
      return std::get<bool>(value_) ? -1 : 0;
    case Kind::Text:
      return ParseInteger(std::get<std::string>(value_));
  }
  return 0;
}

}  // namespace velt
