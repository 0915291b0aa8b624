#include "tools/metafile_writer/index_header.h"

#include "tools/metafile_writer/index_nodes.h"
#include "tools/metafile_writer/writer_error.h"

#include <string>

namespace vetra::writer {

namespace {

constexpr std::uint8_t compactSignature = 1;
constexpr std::size_t compactFixedPartEnd = 502; // the rest of the first half is reserved

void requireExpressionLength(std::string_view expression, std::size_t maximum) {
    if (expression.size() > maximum)
        throw WriterError("index expression \"" + std::string(expression) + "\" is longer than " +
                          std::to_string(maximum) + " characters");
}

void appendCommonFields(Bytes& out, std::uint32_t root, std::uint32_t sizeField,
                        std::size_t keyLength, std::uint8_t options, std::uint8_t signature) {
    appendLittleEndian32(out, root);
    appendLittleEndian32(out, noIndexNode); // no free list: nothing was ever deleted
    appendLittleEndian32(out, sizeField);
    appendLittleEndian16(out, static_cast<std::uint16_t>(keyLength));
    out.push_back(options);
    out.push_back(signature);
}

} // namespace

Bytes compactIndexHeader(std::uint32_t root, std::size_t keyLength, std::uint8_t options,
                         std::string_view expression) {
    requireExpressionLength(expression, maxCompactExpressionLength);
    Bytes header;
    appendCommonFields(header, root, 0, keyLength, options, compactSignature);
    appendZeros(header, compactFixedPartEnd - header.size());
    appendLittleEndian16(header, 0); // ascending
    appendLittleEndian16(header, 0);
    appendLittleEndian16(header, 0); // no FOR expression
    appendLittleEndian16(header, 0);
    appendLittleEndian16(header, static_cast<std::uint16_t>(expression.size() + 1));
    appendText(header, expression);
    appendZeros(header, compactHeaderSize - header.size());
    return header;
}

Bytes classicIndexHeader(std::uint32_t root, std::uint32_t fileSize, std::size_t keyLength,
                         std::string_view expression) {
    requireExpressionLength(expression, maxClassicExpressionLength);
    Bytes header;
    appendCommonFields(header, root, fileSize, keyLength, 0, 0);
    appendText(header, expression);
    appendZeros(header, classicHeaderSize - header.size()); // its null, an empty FOR expression
    return header;
}

} // namespace vetra::writer
