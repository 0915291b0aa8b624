// rmfdump: prints what a metafile holds — its version, every directory entry with the
// positions and lengths of its blocks, and for each table file its fields and record count.
// It reads the file through the engine's own storage layer, so it shows what the engine sees.
#include "engine/store/TMetaFile.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

void printTableFields(TMetaFile& metafile, const vetra::DirectoryEntry& entry) {
    vetra::t_dbfFile* table = metafile.OpenMetaTable(entry.name);
    if (table == nullptr) {
        std::printf("    (cannot be read: %s)\n", metafile.tableReader().lastFailure().c_str());
        return;
    }
    if (table->kind == vetra::kDbfTable) {
        std::printf("    signature 0x%02X, header %d bytes, records %lld x %d bytes\n",
                    static_cast<unsigned>(table->signature), table->headerLength,
                    static_cast<long long>(table->recordCount), table->recordLength);
        for (int32_t i = 0; i < table->fieldCount; ++i) {
            const vetra::t_dbfFieldEntry& field = table->fld[i];
            std::printf("    %-11.11s %c %3u.%u at %d\n", field.name, field.type, field.length,
                        field.decimals, field.offset);
        }
    }
    metafile.tableReader().close(table);
}

void printMetafile(TMetaFile& metafile) {
    const vetra::MetafileDirectory& directory = metafile.directory();
    std::printf("version %s\n", metafile.version().c_str());
    std::printf("directory: %zu entries from %lld; memo base %lld, block size %d\n",
                directory.entries().size(), static_cast<long long>(directory.firstRecordPosition()),
                static_cast<long long>(directory.memoBase()), directory.memoBlockSize());
    for (const vetra::DirectoryEntry& entry : directory.entries()) {
        std::printf("%-12s records %d x %d; data at %lld (%lld bytes); memo at %lld (block %d); "
                    "index at %lld\n",
                    entry.name, entry.recordCount, entry.recordLength,
                    static_cast<long long>(entry.dataPosition),
                    static_cast<long long>(entry.dataLength),
                    static_cast<long long>(entry.memoPosition), entry.memoBlockSize,
                    static_cast<long long>(entry.indexPosition));
        if (entry.dataPosition != 0) printTableFields(metafile, entry);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(stderr, "Usage: rmfdump METAFILE.rmf\n");
        return argc == 2 ? 0 : 1;
    }
    try {
        TMetaFile metafile(argv[1], nullptr, nullptr, 0);
        printMetafile(metafile);
        return 0;
    } catch (const vetra::EngineFailure& failure) {
        std::string code = failure.what();
        char message[120] = "";
        VTerr_GetEngineErrorMessage(std::atoi(code.c_str()), message, sizeof message, nullptr, 0);
        std::fprintf(stderr, "rmfdump: %s: error %s: %s\n", argv[1], code.c_str(), message);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "rmfdump: %s: %s\n", argv[1], failure.what());
    }
    return 1;
}
