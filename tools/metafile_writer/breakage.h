// Deliberate damage to a finished metafile, to make the bad files that tests of a reader need.
#pragma once

#include "tools/metafile_writer/byte_buffer.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vetra::writer {

struct Breakage {
    std::optional<std::uint8_t> directorySignature; // in place of the directory's 0xF5
    bool crlfLineEnds = false; // a 0x0D before every 0x0A, as a text-mode transfer would do
    std::optional<std::size_t> truncateAt; // keep only this many bytes
};

// Applies the damage in the order of the fields above, so a truncation counts the bytes of
// the translated file. Throws WriterError when the file is too short for what is asked.
void applyBreakage(Bytes& metafile, const Breakage& breakage);

} // namespace vetra::writer
