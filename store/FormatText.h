// Fills the "%s" and "%d" places of a printf-style text, in order, with
// ready-made texts (no quoting or conversion). Places beyond the given
// values stay as written. Pure and thread-safe.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velt {

std::string FillFormat(std::string_view format, std::initializer_list<std::string_view> values);

}  // namespace velt
