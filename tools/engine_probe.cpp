// engine_probe: a small host of the engine. It loads the engine library by name, prints its
// version, writes the error catalogue to EditErrs.csv (or to the path given as the second
// argument), and, given a metafile, opens it, binds its first record layout and lists every
// edit of every edit set with its counts, description and readable logic.
#include "engine/api/vetra40.h"
#include "platform/dynamic_library.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The entry points this host calls, resolved by name as every host does.
struct Engine {
    explicit Engine(const vetra::platform::DynamicLibrary& library) : library_(library) {}

    template <class Function> Function get(const char* name) {
        auto function = reinterpret_cast<Function>(library_.resolve(name));
        if (function == nullptr) missing.push_back(name);
        return function;
    }

    std::vector<std::string> missing;

private:
    const vetra::platform::DynamicLibrary& library_;
};

#define VT_RESOLVE(engine, name) auto name = engine.get<decltype(&::name)>(#name)

int report(Engine& engine, int32_t status, const char* call) {
    if (status == 0) return 0;
    auto describe =
        engine.get<decltype(&VTerr_GetEngineErrorMessage)>("VTerr_GetEngineErrorMessage");
    char message[100] = "", function[50] = "";
    if (describe != nullptr) describe(status, message, sizeof message, function, sizeof function);
    std::fprintf(stderr, "ERROR %d from API call %s, engine function %s: %s\n", status, call,
                 function, message);
    return 1;
}

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
    if (report(engine, VTx_GetEditSetCount(id, &sets), "GetEditSetCount")) return 1;
    for (int32_t s = 1; s <= sets; ++s) {
        char setName[80];
        int32_t handle = 0, status = 0, edits = 0;
        if (report(engine, VTx_GetEditSetName(id, s, setName), "GetEditSetName") ||
            report(engine, VTx_LoadEditSet(id, &handle, setName, &status, 1), "VTx_LoadEditSet") ||
            report(engine, VTx_GetEditSetSize(id, handle, &edits), "VTx_GetEditSetSize"))
            return 1;
        std::printf("\nEdit set \"%s\": %d edits, load status %d\n", setName, edits, status);
        for (int32_t e = 0; e < edits; ++e) {
            char name[80], description[2000], logic[20000];
            int32_t fields = 0, errors = 0, warnings = 0, skips = 0, length = 0;
            if (report(engine, VTx_GetEditName(id, handle, e, name), "VTx_GetEditName") ||
                report(engine,
                       VTx_GetEditCounts(id, handle, e, &fields, &errors, &warnings, &skips),
                       "VTx_GetEditCounts") ||
                report(engine,
                       VTx_GetEditDescript(id, handle, e, 78, sizeof description, &length,
                                           description, 1),
                       "VTx_GetEditDescript") ||
                report(engine,
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
    if (report(engine, VTx_Init(&id, path, version, 0, nullptr), "VTx_Init")) return 1;
    std::printf("Opened %s (metafile version %s) as id %d\n", path, version, id);
    int32_t layouts = 0, failed = 0;
    failed |= report(engine, VTx_GetRecordLayoutCount(id, &layouts), "GetRecordLayoutCount");
    for (int32_t n = 1; n <= layouts && failed == 0; ++n) {
        char name[80];
        int32_t length = 0, record = -1;
        failed |=
            report(engine, VTx_GetRecordLayoutName(id, n, name, &length), "GetRecordLayoutName");
        std::printf("Record layout %d: \"%s\", %d characters\n", n, name, length);
        if (n > 1 || failed != 0) continue;
        failed |= report(engine, VTx_AllocRecord(id, length, &record), "VTx_AllocRecord");
        if (failed == 0)
            failed |=
                report(engine, VTx_InitRecordLayout(id, record, name), "VTx_InitRecordLayout");
    }
    if (failed == 0) failed = listEditSets(engine, id);
    failed |= report(engine, VTx_Exit(id), "VTx_Exit");
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
    if (report(engine, VTx_GetVersion(version, sizeof version), "pVTx_GetVersion")) return 1;
    std::printf("VETRA40.dll version %s\n", version);
    const char* exportPath = argc > 2 ? argv[2] : "EditErrs.csv";
    if (report(engine, VTerr_ExportErrorList(exportPath), "VTerr_ExportErrorList")) return 1;
    std::printf("Error list written to %s\n", exportPath);
    return argc > 1 ? listMetafile(engine, argv[1]) : 0;
}
