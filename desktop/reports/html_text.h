// Texts from a results database written into an HTML page that is also well-formed XML. The
// texts come from data files and metafiles that anyone may have written: they may hold markup
// characters, line ends, control characters and bytes that are not UTF-8, and each must show
// as written without changing the page around it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra::desktop {

// Element text: '&', '<' and '>' as character references; CR LF and a lone CR as LF (the
// page's style keeps line ends); other control characters as their visible pictures (U+2400
// on); bytes that are not UTF-8 read as Latin-1, the 8-bit text of fixed-width records.
std::string htmlText(std::string_view text);
// The same, cut after `limit` characters with "…" to mark the cut.
std::string htmlText(std::string_view text, std::size_t limit);
// An attribute value between double quotes: element text with '"' and '\'' escaped too.
std::string htmlAttribute(std::string_view text);

// A count with a comma between thousands: 1234567 -> "1,234,567".
std::string groupedNumber(long long value);

} // namespace vetra::desktop
