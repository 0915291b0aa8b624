// A metafile for the record, variable and lookup built-ins. Two layouts share item numbers:
//   "Wide"   (record of 40): Right R 10 (1-5), Left S 11 (6-10), Zero Z 12 (11-15),
//            Count I 13 (17-20), Diagnosed D6 14 (21-30), Flag C 15 (31), Tail T 16 (33-36)
//   "Narrow" (record of 20): Diagnosed D1 14 (1-8), Right R 10 (9-13), Flag C 15 (14)
// and the tables CODES.DBF (indexed on CODE: K100, K200, K300), PLAIN.DBF (no index),
// STATES.ASC and BITS.BIN (element type 1, 16 to a row).
#pragma once

#include "engine/store/TMetaFile.h"
#include "tests/support/open_metafile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra::testing {

class LibraryMetafile {
public:
    LibraryMetafile();

    TMetaFile& instance();
    int32_t id() const { return metafile_.id(); }
    const std::string& path() const { return metafile_.path(); }

    // The result of running the source; a failed run is a test failure.
    int32_t run(std::string_view source);
    // The engine error of a run that must fail, from source or from compiled logic.
    int32_t failureOf(std::string_view source);
    int32_t failureOfLogic(std::string_view logic);
    // Whether the text an expression gives equals `expected`, tested inside the run (the
    // texts that built-ins return go when the run ends).
    bool gives(std::string_view expression, std::string_view expected);

    std::string wide();
    std::string narrow();
    void setWide(const std::string& text);
    void setNarrow(const std::string& text);
    bool written(const char* layout);

private:
    static std::string record(int32_t id, int32_t handle, size_t length);
    void store(int32_t handle, const std::string& text);

    OpenMetafile metafile_;
    int32_t wide_ = -1;
    int32_t narrow_ = -1;
};

} // namespace vetra::testing
