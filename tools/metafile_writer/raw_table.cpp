#include "tools/metafile_writer/raw_table.h"

#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>

namespace vetra::writer {

RawTable makeTextTable(std::string name, std::string_view text) {
    RawTable table{std::move(name), 0, 0, {}};
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        appendText(table.data, line);
        table.data.push_back('\n');
        table.recordLength = std::max(table.recordLength, line.size());
        ++table.recordCount;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return table;
}

namespace {

// Bytes per element; 0 for bits and for unknown types.
std::size_t elementSize(long type) {
    switch (type) {
    case 8:
    case -8:
        return 1;
    case 16:
    case -16:
        return 2;
    case 32:
    case -32:
        return 4;
    default:
        return 0;
    }
}

bool knownElementType(long type) {
    return type == 1 || elementSize(type) != 0;
}

} // namespace

RawTable makeBinaryTable(std::string name, long elementType, std::size_t rowWidth, Bytes data) {
    RawTable table{std::move(name), elementType, rowWidth, std::move(data)};
    validateRawTable(table);
    return table;
}

void validateRawTable(const RawTable& table) {
    validateTableName(table.name);
    bool isText = hasExtension(table.name, ".ASC");
    if (!isText && !hasExtension(table.name, ".BIN"))
        throw WriterError("raw table " + table.name + " must be named *.ASC or *.BIN");
    if (isText) return;
    if (!knownElementType(table.recordCount))
        throw WriterError(table.name + ": element type " + std::to_string(table.recordCount) +
                          " is not one of 1, 8, -8, 16, -16, 32, -32");
    if (table.recordLength == 0) throw WriterError(table.name + ": rows need a width above zero");
    std::size_t size = elementSize(table.recordCount);
    if (size != 0 && table.data.size() % size != 0)
        throw WriterError(table.name + ": " + std::to_string(table.data.size()) +
                          " bytes are not a whole number of " + std::to_string(size) +
                          "-byte elements");
}

} // namespace vetra::writer
