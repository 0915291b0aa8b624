#include "internal_records.h"

#include "engine/store/table_file.h"

#include <algorithm>
#include <cctype>

namespace vetra {

namespace {

std::string_view asText(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

std::string_view internalRecord(const MetafileStream& stream, const DirectoryEntry& table,
                                TableGeometry geometry, int64_t recordNumber) {
    if (table.dataPosition == 0 || recordNumber < 1) return {};
    int64_t start =
        table.dataPosition + geometry.headerLength + (recordNumber - 1) * geometry.recordLength + 1;
    return asText(stream.bytesAt(start, geometry.recordLength - 1));
}

std::string_view recordField(std::string_view record, size_t offset, size_t width) {
    if (offset >= record.size()) return {};
    return record.substr(offset, width);
}

std::string_view memoContent(const MetafileStream& stream, const DirectoryEntry& table,
                             std::string_view blockNumberText) {
    if (table.memoPosition == 0) return {};
    int64_t position =
        TableReader::memoPosition(table.memoPosition, table.memoBlockSize, blockNumberText);
    if (position == 0) return {};
    auto header = stream.bytesAt(position - 4, 4);
    if (header.size() != 4) return {};
    int64_t length = int64_t{header[0]} << 24 | header[1] << 16 | header[2] << 8 | header[3];
    return asText(stream.bytesAt(position, length));
}

std::string_view trimTrailingBlanks(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::vector<int32_t> integerList(std::string_view memo) {
    std::vector<int32_t> values;
    for (size_t offset = 0; offset + 4 <= memo.size(); offset += 4) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(memo[offset + i]))
                     << (8 * i);
        values.push_back(static_cast<int32_t>(value));
    }
    return values;
}

} // namespace vetra
