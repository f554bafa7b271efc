// A field or parameter value as the database layer hands it around.
//
// A Variant is exactly one of: Empty (never assigned), Null (the database's
// missing value), a 64-bit integer, a double, a Boolean or a UTF-8 text.
// Empty and Null are different states: a field read from a row is never
// Empty, while a default-constructed Variant is. The accessors convert the
// way callers of the store expect (AsText of Null or Empty is "", AsInteger
// of a text holding a number is that number). A Variant is a plain value:
// copying is cheap for numbers, and distinct objects may be used from
// different threads freely.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace velt {

class Variant {
 public:
  enum class Kind { Empty, Null, Integer, Double, Bool, Text };

  Variant() = default;  // Empty
  Variant(std::int64_t value) : value_(value) {}
  Variant(int value) : value_(static_cast<std::int64_t>(value)) {}
  Variant(double value) : value_(value) {}
  Variant(bool value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}

  static Variant Null();

  Kind GetKind() const;
  bool IsEmpty() const { return GetKind() == Kind::Empty; }
  bool IsNull() const { return GetKind() == Kind::Null; }

  // Text form: integers in decimal, doubles in their shortest round-trip
  // form, Booleans as "True"/"False", Empty and Null as "".
  std::string AsText() const;
  // Integer form: doubles truncated toward zero, Booleans as -1/0, texts
  // parsed as a decimal number (surrounding blanks allowed). Raises
  // velt::Error for Empty, Null, or a text that holds no number.
  std::int64_t AsInteger() const;

  bool operator==(const Variant& other) const = default;

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  std::variant<std::monostate, NullTag, std::int64_t, double, bool, std::string> value_;
};

}  // namespace velt
