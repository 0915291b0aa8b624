#include "tools/metafile_writer/breakage.h"

#include "tools/metafile_writer/metafile_builder.h"
#include "tools/metafile_writer/writer_error.h"

#include <string>

namespace vetra::writer {

namespace {

Bytes withCrlfLineEnds(const Bytes& metafile) {
    Bytes translated;
    translated.reserve(metafile.size() + metafile.size() / 64);
    for (std::uint8_t byte : metafile) {
        if (byte == '\n') translated.push_back('\r');
        translated.push_back(byte);
    }
    return translated;
}

} // namespace

void applyBreakage(Bytes& metafile, const Breakage& breakage) {
    if (breakage.directorySignature) {
        if (metafile.size() <= metafileDirectoryOffset)
            throw WriterError("the metafile is too short to have a directory signature");
        metafile[metafileDirectoryOffset] = *breakage.directorySignature;
    }
    if (breakage.crlfLineEnds) metafile = withCrlfLineEnds(metafile);
    if (breakage.truncateAt) {
        if (*breakage.truncateAt > metafile.size())
            throw WriterError("cannot truncate at " + std::to_string(*breakage.truncateAt) +
                              ": the metafile has only " + std::to_string(metafile.size()) +
                              " bytes");
        metafile.resize(*breakage.truncateAt);
    }
}

} // namespace vetra::writer
