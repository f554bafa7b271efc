// Judges one received answer and fills the worker's TPageInfo.
//
// The answer is the raw bytes as received (status line, headers and body),
// read as code page 932. AnalyseResponse always sets StatusLine and
// ResCode (0 when there is no readable status line or the code does not
// fit a 32-bit integer); for status 200 only it also sets Charset, Title,
// Description, Keywords and KbParents, each possibly empty. Every value is
// the first group of the first case-insensitive match of one of the
// patterns below. Nothing is raised by the analysis itself; an error of the
// regular-expression engine passes through.
//
// The engine object belongs to the calling worker; the function keeps no
// state, so workers analyse in parallel, each with its own engine.
#pragma once

#include <string>
#include <string_view>

#include "crawler/PageInfo.h"

namespace velt {

class TRegExp;

inline constexpr std::u16string_view StatusLinePattern = uR"re((^HTTP/[0-9]\.[0-9][\s]+[0-9]+[\s]+[^\s]*))re";
inline constexpr std::u16string_view StatusCodePattern = uR"re(^HTTP/[0-9]\.[0-9][\s]+([0-9]+)[\s]+[^\s]*)re";
// A value in quotes (charset="utf-8") is read without them.
inline constexpr std::u16string_view CharsetPattern = uR"re(;[\s]*charset[\s]*=[\s]*"?([^\s">]*))re";
// The page's own <meta charset="...">, read when no "; charset=" names one:
// without it such a page went to the detecting conversion, which leaves
// UTF-8 bytes as they are, to be read as code page 932.
inline constexpr std::u16string_view MetaCharsetPattern = uR"re(<meta[\s]+charset[\s]*=[\s]*["']?([^\s"'/>]*))re";
// "<title[^>]*>([^<]*)</title>", with the search told to go on after the
// first ">" once an attempt has reached it: every start between a failed
// "<title" and that ">" would reach the same ">" and fail the same way, and
// retrying them made a page of unclosed "<title " take time in the square
// of its length. The matches are those of the plain pattern.
inline constexpr std::u16string_view TitlePattern = uR"re(<title[^>]*+(*SKIP)>([^<]*)</title>)re";
// The meta patterns are "<meta[\s]*name[\s]*=[\s]*"?NAME"?[\s]*([^>]*)>"
// told the same: the attribute text always runs to the first ">" after the
// tag's start, so once that attempt fails for want of a ">" every later
// start fails too. Without that a page of unclosed "<meta name=description "
// took time in the square of its length (an hour at the answer cap). The
// matches are those of the plain patterns.
inline constexpr std::u16string_view DescriptionPattern =
    uR"re(<meta[\s]*name[\s]*=[\s]*"?description"?[\s]*([^>]*+)(*SKIP)>)re";
inline constexpr std::u16string_view KeywordsPattern =
    uR"re(<meta[\s]*name[\s]*=[\s]*"?keywords"?[\s]*([^>]*+)(*SKIP)>)re";
inline constexpr std::u16string_view KbParentsPattern =
    uR"re(<meta[\s]*name[\s]*=[\s]*"?kbparents"?[\s]*([^>]*+)(*SKIP)>)re";
inline constexpr std::u16string_view ContentPattern = uR"re(content[\s]*="?([^">]*)"?)re";

// The answer is taken over; the caller does not use it afterwards.
void AnalyseResponse(TRegExp& engine, std::string answer, TPageInfo& info);

}  // namespace velt
