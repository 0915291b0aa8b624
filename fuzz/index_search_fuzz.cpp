// libFuzzer target: the input, after a prefix of search parameters, becomes the index image
// of a lookup table in a small metafile, which the engine then searches every way it does:
// seeks in the four modes, each followed by skips forward and back; the lookups behind
// lookup, rlookup and ilookup; and choice lists opened on the index and read both ways.
//
// Input: one byte, the number of keys each skip and each choice read asks for; eight bytes,
// a search key (up to the first zero byte); then the compound index of CODES.DBF, whose 600
// records hold the codes K000 to K599 in its column CODE. The metafile is built once with
// room for an index of kIndexRoom bytes, and each input's index is copied into that room, the
// rest of it zeros: building a metafile for every input would take most of the time.
//
// Besides the sanitizers' findings these count as crashes: a failure without a catalogue
// code, a skip or a choice read that hands out more than it was asked for, a failed close,
// and seeks of one key that disagree: the key an exact seek finds is the one that a range
// seek and a seek at or after find too.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using vetra::IndexSearch;
using vetra::SeekMode;

constexpr size_t kKeyBytes = 8;
constexpr size_t kPrefixSize = 1 + kKeyBytes;
constexpr size_t kIndexRoom = 16384;
constexpr int kRecords = 600;
constexpr const char* kTable = "CODES.DBF";

// One file per process, in memory when /dev/shm is there; every run overwrites it and
// removes it once the engine has opened it.
const std::string& inputPath() {
    static const std::string path = [] {
        std::filesystem::path folder = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
        return (folder / ("index_search_fuzz-" + std::to_string(::getpid()) + ".rmf")).string();
    }();
    return path;
}

std::string code(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "K%03d", number);
    return text;
}

// The metafile with its index room filled with a pattern the rest of it cannot hold, and
// where that room starts.
struct MetafileWithRoom {
    vetra::writer::Bytes bytes;
    size_t indexAt = 0;
};

MetafileWithRoom buildMetafile() {
    vetra::writer::DbfTable codes{kTable, {{"CODE", 'C', 4, 0}, {"ROW", 'C', 3, 0}}, {}, {}};
    for (int r = 0; r < kRecords; ++r)
        codes.rows.push_back({{code(r), std::to_string(r % 1000)}, false});
    codes.index.assign(kIndexRoom, 0xA5);
    vetra::writer::MetafileBuilder builder;
    builder.addTable(std::move(codes));
    MetafileWithRoom metafile{builder.build(), 0};
    vetra::writer::Bytes room(kIndexRoom, 0xA5);
    auto found =
        std::search(metafile.bytes.begin(), metafile.bytes.end(), room.begin(), room.end());
    if (found == metafile.bytes.end()) std::abort();
    metafile.indexAt = static_cast<size_t>(found - metafile.bytes.begin());
    return metafile;
}

void writeMetafile(std::span<const uint8_t> index) {
    static MetafileWithRoom metafile = buildMetafile();
    auto room = metafile.bytes.begin() + static_cast<std::ptrdiff_t>(metafile.indexAt);
    size_t copied = std::min(index.size(), kIndexRoom);
    std::copy_n(index.begin(), copied, room);
    std::fill(room + static_cast<std::ptrdiff_t>(copied),
              room + static_cast<std::ptrdiff_t>(kIndexRoom), 0);
    std::FILE* file = std::fopen(inputPath().c_str(), "wb");
    if (file == nullptr ||
        std::fwrite(metafile.bytes.data(), 1, metafile.bytes.size(), file) != metafile.bytes.size())
        std::abort();
    std::fclose(file);
}

void requireCatalogueCode(int32_t code) {
    char message[256];
    char function[64];
    if (code <= 0 ||
        VTerr_GetEngineErrorMessage(code, message, sizeof message, function, sizeof function) != 0)
        std::abort();
}

// A skip ends with 0, at either end of the index, or without a search to go on from.
void skipBothWays(IndexSearch& search, int32_t count) {
    for (int direction : {1, 0}) {
        std::vector<int32_t> records;
        int32_t result = search.VTi_indexskip(direction, &records, count);
        if (records.size() > static_cast<size_t>(count)) std::abort();
        if (result != 0 && result != IndexSearch::kEndOfIndex &&
            result != IndexSearch::kStartOfIndex && result != IndexSearch::kNoIndex)
            std::abort();
        std::string key(search.currentKey()); // copied: the sanitizers see each byte read
    }
}

void seekEveryWay(IndexSearch& search, int64_t indexStart, std::string_view tag,
                  std::string_view key, int32_t count) {
    int32_t found[4];
    for (SeekMode mode :
         {SeekMode::Exact, SeekMode::Prefix, SeekMode::AtOrAfter, SeekMode::Range}) {
        found[static_cast<int>(mode)] = search.VTi_indexseek(indexStart, tag, key, mode);
        skipBothWays(search, count);
    }
    int32_t exact = found[static_cast<int>(SeekMode::Exact)];
    if (exact != IndexSearch::kNotFound && (found[static_cast<int>(SeekMode::AtOrAfter)] != exact ||
                                            found[static_cast<int>(SeekMode::Range)] != exact))
        std::abort();
}

void lookUp(vetra::LookupTables& lookups, std::string_view key, const std::string& column) {
    std::string record;
    for (SeekMode mode : {SeekMode::Exact, SeekMode::Range})
        lookups.VTi_Tblreadrec(key, column, 1, 0, &record, mode);
    lookups.VTi_StrLookUp(key, column);
    lookups.columnPosition(key, column);
}

// Through the C++ interface, as the built-in functions and the engine call it; engine
// failures must carry a catalogue code.
void searchEveryWay(TMetaFile& metafile, const std::vector<std::string>& keys, int32_t count) {
    vetra::DirectoryEntry entry{};
    if (metafile.directory().VTi_locMetaTbl(&entry, kTable, false) != 1) std::abort();
    IndexSearch& search = metafile.indexSearch();
    try {
        std::vector<std::string> tags{"CODE"};
        if (search.VTi_indexseek(entry.indexPosition, "", "", SeekMode::Exact) > 0)
            tags.push_back(search.listedTags().front());
        for (const std::string& tag : tags) {
            for (const std::string& key : keys) {
                seekEveryWay(search, entry.indexPosition, tag, key, count);
                lookUp(metafile.lookupTables(), key, std::string(kTable) + "." + tag);
            }
        }
        search.VTi_indexcleanup();
    } catch (const vetra::EngineFailure&) {
        requireCatalogueCode(metafile.lastEngineError());
    }
}

// Through the exported calls, as a host lists choices: opened at a start key, then read
// forward and back into a buffer of the size the host is told to give.
void readChoices(int32_t id, const std::string& startKey, int32_t count) {
    unsigned char widths[20];
    int32_t totalWidth = 0, entryCount = 0;
    int32_t status = VTx_InitChoices(id, "CODES.DBF.CODE(1,2)", startKey.c_str(), widths,
                                     &totalWidth, &entryCount);
    if (status != 0) {
        requireCatalogueCode(status);
        return;
    }
    std::vector<char> rows(static_cast<size_t>(count) * static_cast<size_t>(totalWidth) + 1);
    for (int32_t step : {1, 1, -1, -1}) {
        int32_t delivered = 0;
        if (VTx_GetChoices(id, rows.data(), step, count, &delivered) != 0 || delivered > count ||
            delivered > entryCount)
            std::abort();
    }
    if (VTx_FreeChoices(id) != 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kPrefixSize) return 0;
    auto count = static_cast<int32_t>(data[0]);
    std::string fuzzedKey(reinterpret_cast<const char*>(data + 1), kKeyBytes);
    fuzzedKey.resize(std::min(fuzzedKey.find('\0'), kKeyBytes));
    writeMetafile(std::span(data + kPrefixSize, size - kPrefixSize));

    int32_t id = -1;
    int32_t status = VTx_Init(&id, inputPath().c_str(), nullptr, 0, nullptr);
    std::remove(inputPath().c_str());
    if (status != 0) {
        requireCatalogueCode(status);
        return 0;
    }
    searchEveryWay(*vetra::engineProcess().metafiles().find(id), {"", fuzzedKey, "K300", "ZZZZ"},
                   count);
    for (const std::string& startKey : {std::string(), fuzzedKey})
        readChoices(id, startKey, count);
    if (VTx_Exit(id) != 0) std::abort();
    return 0;
}
