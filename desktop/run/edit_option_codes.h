// Whole numbers in configuration texts: the per-edit option codes, kept as text (as the
// configuration file holds them) and converted when a run uses them, and the numeric keys of
// the configuration files.
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace vetra::desktop {

// A whole number with optional blanks around it and an optional sign, as the platform's
// integer conversion accepts it; nothing for any other text.
inline std::optional<int> wholeNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The number an [EditOptions] code text stands for; nothing when the text is not a whole
// number, and the caller reports the conversion failure.
inline std::optional<int> editOptionCode(const std::string& codeText) {
    return wholeNumber(codeText);
}

// The platform's message for a text that holds no whole number where one is needed.
inline std::string conversionErrorText(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

} // namespace vetra::desktop
