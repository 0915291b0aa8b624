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

RawTable makeBinaryTable(std::string name, Bytes data, std::size_t recordLength) {
    if (recordLength == 0) throw WriterError(name + ": binary records need a length above zero");
    if (data.size() % recordLength != 0)
        throw WriterError(name + ": " + std::to_string(data.size()) +
                          " bytes are not a whole number of " + std::to_string(recordLength) +
                          "-byte records");
    std::size_t count = data.size() / recordLength;
    return RawTable{std::move(name), count, recordLength, std::move(data)};
}

void validateRawTable(const RawTable& table) {
    validateTableName(table.name);
    bool isText = hasExtension(table.name, ".ASC");
    if (!isText && !hasExtension(table.name, ".BIN"))
        throw WriterError("raw table " + table.name + " must be named *.ASC or *.BIN");
    if (!isText && table.recordCount * table.recordLength != table.data.size())
        throw WriterError(table.name + ": " + std::to_string(table.data.size()) +
                          " bytes of data are not " + std::to_string(table.recordCount) +
                          " records of " + std::to_string(table.recordLength) + " bytes");
}

} // namespace vetra::writer
