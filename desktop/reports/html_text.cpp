#include "desktop/reports/html_text.h"

#include <cstdint>

namespace vetra::desktop {

namespace {

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The code point of the UTF-8 sequence at `at` and its length; a length of 0 when the bytes
// there are no well-formed sequence of a character XML allows.
std::uint32_t decodeUtf8(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = 0;
    std::size_t size = 0;
    std::uint32_t code = 0, minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + size > text.size()) return 0;
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < minimum || code > 0x10FFFF || surrogate || code == 0xFFFE || code == 0xFFFF)
        return 0;
    length = size;
    return code;
}

// Appends one character of `text` at `at` and returns the position after it.
std::size_t appendCharacter(std::string& out, std::string_view text, std::size_t at,
                            bool attribute) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    switch (c) {
    case '&':
        out += "&amp;";
        return at + 1;
    case '<':
        out += "&lt;";
        return at + 1;
    case '>':
        out += "&gt;";
        return at + 1;
    case '"':
        out += attribute ? "&quot;" : "\"";
        return at + 1;
    case '\'':
        out += attribute ? "&#39;" : "'";
        return at + 1;
    case '\r':
        out += attribute ? "&#10;" : "\n";
        return at + 1 < text.size() && text[at + 1] == '\n' ? at + 2 : at + 1;
    case '\n':
        out += attribute ? "&#10;" : "\n";
        return at + 1;
    case '\t':
        out += attribute ? "&#9;" : "\t";
        return at + 1;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
        appendUtf8(out, c == 0x7F ? 0x2421 : 0x2400 + c);
        return at + 1;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
        return at + 1;
    }
    std::size_t length = 0;
    const std::uint32_t code = decodeUtf8(text, at, length);
    if (length == 0) {
        appendUtf8(out, c); // a Latin-1 byte
        return at + 1;
    }
    appendUtf8(out, code);
    return at + length;
}

std::string escaped(std::string_view text, std::size_t limit, bool attribute) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size() && characters < limit; ++characters)
        at = appendCharacter(out, text, at, attribute);
    if (at < text.size()) out += "\u2026";
    return out;
}

} // namespace

std::string htmlText(std::string_view text) {
    return escaped(text, std::string_view::npos, false);
}

std::string htmlText(std::string_view text, std::size_t limit) {
    return escaped(text, limit, false);
}

std::string htmlAttribute(std::string_view text) {
    return escaped(text, std::string_view::npos, true);
}

std::string groupedNumber(long long value) {
    const std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ULL : value + 0ULL);
    std::string out = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

} // namespace vetra::desktop
