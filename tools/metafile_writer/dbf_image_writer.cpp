#include "tools/metafile_writer/dbf_image_writer.h"

#include "tools/metafile_writer/table_name.h"

#include <optional>

namespace vetra::writer {

namespace {

// A fixed date of last update (2026-01-01, years counted from 1900) keeps the output of the
// same sources byte for byte the same.
constexpr std::uint8_t lastUpdate[3] = {126, 1, 1};

void appendPadded(Bytes& out, std::string_view value, std::size_t width, bool rightAligned) {
    std::size_t padding = width - value.size();
    if (rightAligned) out.insert(out.end(), padding, ' ');
    appendText(out, value);
    if (!rightAligned) out.insert(out.end(), padding, ' ');
}

void appendHeader(Bytes& out, const DbfTable& table) {
    bool withMemo = hasMemoColumns(table.columns);
    out.push_back(withMemo ? dbfSignatureWithMemo : dbfSignaturePlain);
    out.insert(out.end(), std::begin(lastUpdate), std::end(lastUpdate));
    appendLittleEndian32(out, static_cast<std::uint32_t>(table.rows.size()));
    appendLittleEndian16(out,
                         static_cast<std::uint16_t>(
                             dbfHeaderSize + dbfFieldDescriptorSize * table.columns.size() + 1));
    appendLittleEndian16(out, static_cast<std::uint16_t>(recordLength(table.columns)));
    appendZeros(out, 16);
    out.push_back(withMemo ? dbfFlagHasMemo : 0);
    appendZeros(out, 3);
}

void appendFieldDescriptors(Bytes& out, const std::vector<DbfColumn>& columns) {
    std::uint32_t offset = 1; // the deletion byte comes first
    for (const DbfColumn& column : columns) {
        std::string name = upperCaseAscii(column.name);
        appendText(out, name);
        appendZeros(out, maxColumnNameLength + 1 - name.size());
        out.push_back(static_cast<std::uint8_t>(column.type));
        appendLittleEndian32(out, offset);
        out.push_back(static_cast<std::uint8_t>(column.length));
        out.push_back(static_cast<std::uint8_t>(column.decimals));
        appendZeros(out, 14);
        offset += static_cast<std::uint32_t>(column.length);
    }
}

std::optional<std::uint32_t> storeMemo(MemoFileWriter& memoFile, std::string_view content,
                                       MemoBlockType type) {
    if (content.empty()) return std::nullopt;
    return memoFile.append(content, type);
}

void appendRecord(Bytes& out, const DbfTable& table, const DbfRow& row, MemoFileWriter& memoFile,
                  MemoBlockType memoType) {
    out.push_back(row.deleted ? '*' : ' ');
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const DbfColumn& column = table.columns[i];
        const std::string& value = row.values[i];
        auto width = static_cast<std::size_t>(column.length);
        if (column.type == 'M') {
            auto block = storeMemo(memoFile, value, memoType);
            appendPadded(out, block ? memoFieldText(*block) : "", width, true);
        } else {
            appendPadded(out, value, width, column.type == 'N');
        }
    }
}

} // namespace

std::string memoFieldText(std::uint32_t block) {
    std::string digits = std::to_string(block);
    return std::string(memoFieldLength - digits.size(), ' ') + digits;
}

DbfImage writeDbfImage(const DbfTable& table, const MemoSettings& memo) {
    DbfImage image;
    MemoFileWriter memoFile(memo.blockSize);
    appendHeader(image.table, table);
    appendFieldDescriptors(image.table, table.columns);
    image.table.push_back(dbfHeaderTerminator);
    for (const DbfRow& row : table.rows)
        appendRecord(image.table, table, row, memoFile, memo.blockType);
    image.table.push_back(dbfEndOfFile);
    if (hasMemoColumns(table.columns)) image.memoFile = memoFile.image();
    return image;
}

} // namespace vetra::writer
