#include "session/HitExport.h"

#include <cstdio>
#include <string_view>

#include "platform/Encoding.h"

namespace velt {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A file edited by other tools may hold bytes that are not UTF-8; every
// format promises UTF-8, so each broken unit becomes U+FFFD.
std::string ValidUtf8(const std::string& text) { return Utf16ToUtf8(Utf8ToUtf16(text)); }

// A cell that a spreadsheet would take for a formula (or that an
// importer strips to one) is text from a site that is not ours: a leading
// "'" keeps it text.
std::string InertCell(const std::string& value) {
  if (value.empty() || std::string_view("=+-@\t\r").find(value.front()) == std::string_view::npos) return value;
  return "'" + value;
}

// A field of a delimited table, quoted when it holds the delimiter, a
// double quote or a line break.
std::string DelimitedField(const std::string& text, char delimiter) {
  const std::string value = InertCell(text);
  if (value.find_first_of(std::string{delimiter, '"', '\r', '\n'}) == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string DelimitedTable(const std::vector<ArticleHit>& hits, char delimiter, std::string_view rowEnd) {
  auto row = [&](const auto& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) line += delimiter;
      line += DelimitedField(ValidUtf8(fields[i]), delimiter);
    }
    return line.append(rowEnd);
  };
  std::vector<std::string> header(ArticleHit::ColumnNames.begin(), ArticleHit::ColumnNames.end());
  std::string table = row(header);
  for (const ArticleHit& hit : hits) {
    std::vector<std::string> fields;
    for (const std::string* value : hit.Columns()) fields.push_back(*value);
    table += row(fields);
  }
  return table;
}

std::string JsonString(const std::string& value) {
  std::string out = "\"";
  for (char c : ValidUtf8(value)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string JsonArray(const std::vector<ArticleHit>& hits) {
  std::string json = "[";
  for (size_t h = 0; h < hits.size(); ++h) {
    json += h == 0 ? "\n{" : ",\n{";
    const auto values = hits[h].Columns();
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) json += ',';
      json += JsonString(ArticleHit::ColumnNames[i]) + ':' + JsonString(*values[i]);
    }
    json += '}';
  }
  return json + (hits.empty() ? "]\n" : "\n]\n");
}

}  // namespace

std::optional<HitFormat> HitFormatNamed(const std::string& name) {
  if (name == "text") return HitFormat::Text;
  if (name == "csv") return HitFormat::Csv;
  if (name == "tsv") return HitFormat::Tsv;
  if (name == "json") return HitFormat::Json;
  return std::nullopt;
}

std::string FormatHits(const std::vector<ArticleHit>& hits, HitFormat format) {
  switch (format) {
    case HitFormat::Csv: return kByteOrderMark + DelimitedTable(hits, ',', "\r\n");
    case HitFormat::Tsv: return DelimitedTable(hits, '\t', "\n");
    case HitFormat::Json: return JsonArray(hits);
    case HitFormat::Text: break;
  }
  return {};
}

}  // namespace velt
