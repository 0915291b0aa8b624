#include "tools/metafile_writer/index_keys.h"

#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <tuple>

namespace vetra::writer {

namespace {

void validateKey(const IndexKeySet& set, const IndexKey& key) {
    if (key.key.size() > set.keyLength)
        throw WriterError("index key \"" + key.key + "\" is longer than the key length " +
                          std::to_string(set.keyLength));
    if (key.record == 0) throw WriterError("index key \"" + key.key + "\" has record number 0");
}

unsigned char upperCaseByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// Keys of one length: the first byte that differs once upper-cased decides.
int compareIgnoringCase(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = upperCaseByte(a[i]);
        unsigned char y = upperCaseByte(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

bool inIndexOrder(const IndexKey& a, const IndexKey& b) {
    int byCase = compareIgnoringCase(a.key, b.key);
    if (byCase != 0) return byCase < 0;
    return std::tie(a.key, a.record) < std::tie(b.key, b.record);
}

std::size_t columnNumber(const DbfTable& table, const std::string& name) {
    return static_cast<std::size_t>(findColumn(table.columns, name) - table.columns.data());
}

} // namespace

IndexKeySet orderedKeys(IndexKeySet set) {
    if (set.keyLength == 0 || set.keyLength > maxIndexKeyLength)
        throw WriterError("index key length " + std::to_string(set.keyLength) +
                          " is not from 1 to " + std::to_string(maxIndexKeyLength));
    for (IndexKey& key : set.keys) {
        validateKey(set, key);
        key.key.resize(set.keyLength, ' ');
    }
    std::sort(set.keys.begin(), set.keys.end(), inIndexOrder);
    return set;
}

IndexKeySet tagKeys(const DbfTable& table, const IndexTag& tag) {
    std::size_t column = columnNumber(table, tag.column);
    std::string columnName = upperCaseAscii(table.columns[column].name);
    IndexKeySet set{upperCaseAscii(tag.name),
                    tag.upperCaseKeys ? "UPPER(" + columnName + ")" : columnName,
                    static_cast<std::size_t>(table.columns[column].length),
                    {}};
    set.keys.reserve(table.rows.size());
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        const std::string& value = table.rows[row].values[column];
        set.keys.push_back(IndexKey{tag.upperCaseKeys ? upperCaseAscii(value) : value,
                                    static_cast<std::uint32_t>(row + 1)});
    }
    return orderedKeys(std::move(set));
}

} // namespace vetra::writer
