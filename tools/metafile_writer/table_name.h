// Names of the files a metafile embeds: 8.3-style names of at most 12 characters, stored upper
// case. The extension tells a reader what an entry holds: .DBF a table, .ASC text lines, .BIN
// fixed-length binary records.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vetra::writer {

inline constexpr std::size_t maxTableNameLength = 12;

std::string upperCaseAscii(std::string_view text);

// Throws WriterError unless the name is 1 to 12 printable ASCII characters without spaces.
void validateTableName(std::string_view name);

// Compares without regard to case: hasExtension("codes.asc", ".ASC") is true.
bool hasExtension(std::string_view name, std::string_view extension);

bool sameTableName(std::string_view left, std::string_view right);

} // namespace vetra::writer
