#include "tools/metafile_writer/directory_table.h"

#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

namespace vetra::writer {

namespace {

constexpr std::size_t maxDirectoryNumber = 999'999;

std::string directoryNumber(const DirectoryEntry& entry, long number, const char* what) {
    if (number > static_cast<long>(maxDirectoryNumber) || number < -99999)
        throw WriterError(entry.name + ": " + std::to_string(number) + " is too large a " + what +
                          " for the directory's six digits");
    return std::to_string(number);
}

std::string asMemoContent(const Bytes& image) {
    return std::string(image.begin(), image.end());
}

DbfRow directoryRow(const DirectoryEntry& entry) {
    return DbfRow{
        {upperCaseAscii(entry.name), "", directoryNumber(entry, entry.recordCount, "record count"),
         directoryNumber(entry, static_cast<long>(entry.recordLength), "record length"),
         asMemoContent(entry.data), asMemoContent(entry.memoFile), asMemoContent(entry.index)},
        false};
}

} // namespace

const std::vector<DbfColumn> directoryColumns = {
    {"NAME", 'C', 12, 0}, {"FILLER", 'C', 1, 0}, {"RECORDS", 'N', 6, 0}, {"RECLEN", 'N', 6, 0},
    {"DATA", 'M', 10, 0}, {"MEMO", 'M', 10, 0},  {"INDEX", 'M', 10, 0},
};

DbfImage writeDirectory(const std::vector<DirectoryEntry>& entries, std::uint16_t blockSize) {
    // The directory is not a table of the author's: its name never reaches the file.
    DbfTable directory{"", directoryColumns, {}, {}};
    for (const DirectoryEntry& entry : entries)
        directory.rows.push_back(directoryRow(entry));
    return writeDbfImage(directory, MemoSettings{blockSize, MemoBlockType::binary});
}

} // namespace vetra::writer
