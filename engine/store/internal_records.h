// Record-by-record access to the metafile's internal tables. The engine reads them at fixed
// positions from their data position, so their header and record lengths are fixed too.
// Record n (1-based) starts at data position + header length + (n - 1) x record length; the
// bytes handed out here are its fields, from the byte after the deletion mark.
#pragma once

#include "engine/store/directory_entry.h"
#include "engine/store/metafile_stream.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vetra {

struct TableGeometry {
    int32_t headerLength;
    int32_t recordLength;
};

inline constexpr TableGeometry kEditSetTable{97, 61};
inline constexpr TableGeometry kBufferFieldTable{257, 29};
inline constexpr TableGeometry kCatalogueTable{225, 183};
inline constexpr TableGeometry kCompiledEditTable{225, 95};
inline constexpr TableGeometry kDictionaryTable{449, 173};

// A record's field bytes as text; empty when the record lies outside the metafile.
std::string_view internalRecord(const MetafileStream& stream, const DirectoryEntry& table,
                                TableGeometry geometry, int64_t recordNumber);

// `width` characters from `offset` of a record, shorter (or empty) where the record ends.
std::string_view recordField(std::string_view record, size_t offset, size_t width);

// The content of the memo whose block number a table's memo column holds as text; empty when
// there is no memo or it lies outside the metafile.
std::string_view memoContent(const MetafileStream& stream, const DirectoryEntry& table,
                             std::string_view blockNumberText);

// A memo of 32-bit little-endian integers (member lists, field lists) as its values.
std::vector<int32_t> integerList(std::string_view memo);

// Text with trailing blanks removed.
std::string_view trimTrailingBlanks(std::string_view text);

// Case-insensitive equality of two texts.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace vetra
