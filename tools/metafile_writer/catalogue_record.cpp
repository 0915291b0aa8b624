#include "tools/metafile_writer/catalogue_record.h"

#include "tools/metafile_writer/fixed_width_text.h"
#include "tools/metafile_writer/writer_error.h"

namespace vetra::writer {

namespace {

constexpr std::size_t kindLength = 2;
constexpr std::size_t numberWidth = 4;
constexpr long maxNumber = 9999;
constexpr int maxSize = 9999;

void validateCatalogueRecord(const CatalogueRecord& record) {
    if (record.kind.size() != kindLength)
        throw WriterError("catalogue kind \"" + record.kind + "\" must be two characters");
    if (record.number < 1 || record.number > maxNumber)
        throw WriterError("catalogue number " + std::to_string(record.number) +
                          " is not from 1 to " + std::to_string(maxNumber));
    if (record.name.size() > catalogueNameLength)
        throw WriterError("catalogue name \"" + record.name + "\" is longer than " +
                          std::to_string(catalogueNameLength) + " characters");
    if (record.sizes.size() > maxCatalogueSizes)
        throw WriterError("a catalogue record holds at most " + std::to_string(maxCatalogueSizes) +
                          " sizes");
    for (int size : record.sizes)
        if (size < 0 || size > maxSize)
            throw WriterError("catalogue size " + std::to_string(size) + " is not from 0 to " +
                              std::to_string(maxSize));
}

// "RL   1 NAME": kind, number and name at 0, 2 and 7.
std::string keyText(const CatalogueRecord& record) {
    return record.kind + rightAligned(record.number, numberWidth) + " " +
           leftAligned(record.name, catalogueNameLength);
}

std::string sizesText(const std::vector<int>& sizes) {
    std::string text;
    for (int size : sizes)
        text += rightAligned(size, catalogueSizeWidth);
    return text;
}

} // namespace

DbfRow catalogueRow(const CatalogueRecord& record) {
    validateCatalogueRecord(record);
    return DbfRow{
        {keyText(record), sizesText(record.sizes), record.components, record.description, "", ""},
        false};
}

} // namespace vetra::writer
