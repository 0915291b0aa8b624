// engine_probe: a small host of the engine. It loads the engine library by name, prints its
// version, writes the error catalogue to EditErrs.csv (or to the path given as the second
// argument), and, given a metafile, opens it, binds its first record layout and lists every
// edit of every edit set with its counts, description and readable logic.
#include "tools/engine_host.h"

#include <cstdio>

namespace {

using vetra::tools::Engine;

int listEditSets(Engine& engine, int32_t id) {
    VT_RESOLVE(engine, VTx_GetEditSetCount);
    VT_RESOLVE(engine, VTx_GetEditSetName);
    VT_RESOLVE(engine, VTx_LoadEditSet);
    VT_RESOLVE(engine, VTx_GetEditSetSize);
    VT_RESOLVE(engine, VTx_GetEditName);
    VT_RESOLVE(engine, VTx_GetEditCounts);
    VT_RESOLVE(engine, VTx_GetEditDescript);
    VT_RESOLVE(engine, VTx_GetEditLogic);
    if (!engine.missing.empty()) return 1;
    int32_t sets = 0;
    if (engine.report(VTx_GetEditSetCount(id, &sets), "GetEditSetCount")) return 1;
    for (int32_t s = 1; s <= sets; ++s) {
        char setName[80];
        int32_t handle = 0, status = 0, edits = 0;
        if (engine.report(VTx_GetEditSetName(id, s, setName), "GetEditSetName") ||
            engine.report(VTx_LoadEditSet(id, &handle, setName, &status, 1), "VTx_LoadEditSet") ||
            engine.report(VTx_GetEditSetSize(id, handle, &edits), "VTx_GetEditSetSize"))
            return 1;
        std::printf("\nEdit set \"%s\": %d edits, load status %d\n", setName, edits, status);
        for (int32_t e = 0; e < edits; ++e) {
            char name[80], description[2000], logic[20000];
            int32_t fields = 0, errors = 0, warnings = 0, skips = 0, length = 0;
            if (engine.report(VTx_GetEditName(id, handle, e, name), "VTx_GetEditName") ||
                engine.report(VTx_GetEditCounts(id, handle, e, &fields, &errors, &warnings, &skips),
                              "VTx_GetEditCounts") ||
                engine.report(VTx_GetEditDescript(id, handle, e, 78, sizeof description, &length,
                                                  description, 1),
                              "VTx_GetEditDescript") ||
                engine.report(
                    VTx_GetEditLogic(id, handle, e, sizeof logic, "\n    ", &length, logic),
                    "VTx_GetEditLogic"))
                return 1;
            std::printf("\n  %d. %s  (fields %d, errors %d, warnings %d, skips %d)\n", e + 1, name,
                        fields, errors, warnings, skips);
            if (description[0] != '\0') std::printf("  %s\n", description);
            std::printf("    %s\n", logic);
        }
    }
    return 0;
}

int listMetafile(Engine& engine, const char* path) {
    VT_RESOLVE(engine, VTx_Init);
    VT_RESOLVE(engine, VTx_Exit);
    VT_RESOLVE(engine, VTx_GetRecordLayoutCount);
    VT_RESOLVE(engine, VTx_GetRecordLayoutName);
    VT_RESOLVE(engine, VTx_AllocRecord);
    VT_RESOLVE(engine, VTx_InitRecordLayout);
    if (!engine.missing.empty()) return 1;
    int32_t id = -1;
    char version[32] = "";
    if (engine.report(VTx_Init(&id, path, version, 0, nullptr), "VTx_Init")) return 1;
    std::printf("Opened %s (metafile version %s) as id %d\n", path, version, id);
    int32_t layouts = 0, failed = 0;
    failed |= engine.report(VTx_GetRecordLayoutCount(id, &layouts), "GetRecordLayoutCount");
    for (int32_t n = 1; n <= layouts && failed == 0; ++n) {
        char name[80];
        int32_t length = 0, record = -1;
        failed |=
            engine.report(VTx_GetRecordLayoutName(id, n, name, &length), "GetRecordLayoutName");
        std::printf("Record layout %d: \"%s\", %d characters\n", n, name, length);
        if (n > 1 || failed != 0) continue;
        failed |= engine.report(VTx_AllocRecord(id, length, &record), "VTx_AllocRecord");
        if (failed == 0)
            failed |= engine.report(VTx_InitRecordLayout(id, record, name), "VTx_InitRecordLayout");
    }
    if (failed == 0) failed = listEditSets(engine, id);
    failed |= engine.report(VTx_Exit(id), "VTx_Exit");
    return failed;
}

} // namespace

int main(int argc, char** argv) {
    vetra::platform::DynamicLibrary library(vetra::platform::sharedLibraryFileName("VETRA40"));
    if (!library.loaded()) {
        std::fprintf(stderr, "Can't load Vetra: %s\n", library.error().c_str());
        return 1;
    }
    Engine engine(library);
    VT_RESOLVE(engine, VTx_GetVersion);
    VT_RESOLVE(engine, VTerr_ExportErrorList);
    if (!engine.missing.empty()) {
        std::fprintf(stderr, "The engine library lacks %s\n", engine.missing.front().c_str());
        return 1;
    }
    char version[16];
    if (engine.report(VTx_GetVersion(version, sizeof version), "pVTx_GetVersion")) return 1;
    std::printf("VETRA40.dll version %s\n", version);
    const char* exportPath = argc > 2 ? argv[2] : "EditErrs.csv";
    if (engine.report(VTerr_ExportErrorList(exportPath), "VTerr_ExportErrorList")) return 1;
    std::printf("Error list written to %s\n", exportPath);
    return argc > 1 ? listMetafile(engine, argv[1]) : 0;
}
