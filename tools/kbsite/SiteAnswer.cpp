#include "tools/kbsite/SiteAnswer.h"

#include "tools/kbsite/PageEncoder.h"

namespace velt::kbsite {
namespace {

const char* ReasonFor(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 503: return "Service Unavailable";
    default: return "Internal Server Error";
  }
}

std::string Headers(const Article& article) {
  std::string text = "HTTP/1.1 " + std::to_string(article.status) + " " + ReasonFor(article.status) + "\r\n";
  if (article.status == 302) {
    text += "Location: /notfound.htm?kbid=" + std::to_string(article.number) + "\r\n";
  }
  text += "Content-Type: text/html";
  if (article.status == 200 && article.charsetInHeader) text += "; charset=" + article.charset;
  text += "\r\nConnection: close\r\n\r\n";
  return text;
}

std::string TitleElement(const Article& article) {
  std::string title = article.title;
  if (article.titleSplit) {
    // Break between two characters, never inside one.
    std::size_t cut = title.size() / 2;
    while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80) --cut;
    title.insert(cut, "\r\n");
  }
  return "<title>" + title + "</title>\r\n";
}

// Everything of a 200 page before the marker, in UTF-8.
std::string PageStart(const Article& article) {
  std::string page = "<html><head>\r\n";
  if (!article.charset.empty() && !article.charsetInHeader) {
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + article.charset + "\">\r\n";
  }
  page += TitleElement(article);
  page += "<meta name=\"description\" content=\"" + article.description + "\">\r\n";
  page += "<META NAME=\"keywords\" CONTENT=\"" + article.keywords + "\" />\r\n";
  page += "<meta name=kbparents content=" + article.kbParents + ">\r\n";
  page += "</head><body>\r\n<h1>" + article.description + "</h1>\r\n";
  return page;
}

std::string FillerUtf8(const Article& article) {
  return "<p>" + article.description + " " + article.keywords + "</p>\r\n";
}

std::string ShortPage(const Article& article) {
  return "<html><body>" + std::to_string(article.status) + " " + ReasonFor(article.status) +
         "</body></html>\r\n";
}

std::string StatusPrefix(AnswerShape shape) {
  return shape == AnswerShape::BlankLineFirst ? "\r\n" : "";
}

std::string WithoutStatusLine(const std::string& answer) {
  return answer.substr(answer.find("\r\n") + 2);
}

std::string WithHeader(const std::string& answer, const std::string& field) {
  const std::size_t afterStatus = answer.find("\r\n") + 2;
  return answer.substr(0, afterStatus) + field + "\r\n" + answer.substr(afterStatus);
}

std::string WithBareLineFeeds(std::string answer) {
  if (const std::size_t body = answer.find("<body>\r\n"); body != std::string::npos) {
    answer.insert(body + 8, "\r\n");
  }
  answer = WithContentLength(answer);
  const std::size_t headEnd = answer.find("\r\n\r\n") + 4;
  std::string head;
  for (const char c : answer.substr(0, headEnd)) {
    if (c != '\r') head += c;
  }
  return head + answer.substr(headEnd);
}

}  // namespace

std::string RenderAnswer(const Article& article, std::size_t pageSize, AnswerShape shape) {
  std::string answer = StatusPrefix(shape) + Headers(article);
  if (article.status != 200) {
    answer += ShortPage(article);
  } else {
    answer += EncodePage(PageStart(article), article.encoding);
    const bool marker = shape != AnswerShape::NoMarker && shape != AnswerShape::BareLineFeeds;
    if (marker) answer += std::string(kMarker) + " version=\"1\">\r\n";
    const std::string filler = RenderFillerBlock(article);
    while (answer.size() + 16 < pageSize) answer += filler;
    answer += "</body></html>\r\n";
  }
  if (shape == AnswerShape::BareLineFeeds) return WithBareLineFeeds(answer);
  return shape == AnswerShape::NoStatusLine ? WithoutStatusLine(answer) : answer;
}

std::string RenderBusyAnswer(const Article& answer, int retryAfterSeconds) {
  return WithHeader(RenderAnswer(answer, 0, AnswerShape::Normal), "Retry-After: " + std::to_string(retryAfterSeconds));
}

std::string WithContentLength(const std::string& answer) {
  const std::size_t body = answer.size() - (answer.find("\r\n\r\n") + 4);
  return WithHeader(answer, "Content-Length: " + std::to_string(body));
}

std::string RenderEndlessStart(const Article& article) {
  return Headers(article) + EncodePage(PageStart(article), article.encoding);
}

std::string RenderFillerBlock(const Article& article) {
  return EncodePage(FillerUtf8(article), article.encoding);
}

std::string FormatServedLine(const Article& article, std::string_view answerKind) {
  std::string line = "kbid=" + std::to_string(article.number);
  line += "\tstatus=" + std::to_string(article.status);
  line += "\tcharset=" + article.charset;
  line += "\tencoding=" + std::string(article.status == 200 ? EncodingName(article.encoding) : "");
  line += "\tanswer=" + std::string(answerKind);
  line += "\ttitle=" + article.title;
  line += "\tdescription=" + article.description;
  line += "\tkeywords=" + article.keywords;
  line += "\tkbparents=" + article.kbParents;
  return line;
}

}  // namespace velt::kbsite
