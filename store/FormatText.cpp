#include "store/FormatText.h"

namespace velt {

std::string FillFormat(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string text;
  auto next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const bool place = format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'd');
    if (place && next != values.end()) {
      text += *next++;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace velt
