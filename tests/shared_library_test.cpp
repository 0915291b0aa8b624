// Binds the built libVETRA40.so at run time, as the desktop program does, and checks what the
// library exports.
#include "desktop/run/engine_entry_points.h"
#include "engine/api/vetra40.h"
#include "platform/dynamic_library.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> withPrefixes(std::initializer_list<const char*> prefixes,
                                      std::initializer_list<const char*> names) {
    std::vector<std::string> result;
    for (const char* prefix : prefixes)
        for (const char* name : names)
            result.push_back(std::string(prefix) + name);
    return result;
}

// Every entry point in the order the desktop program resolves them.
std::vector<std::string> desktopResolutionOrder() {
    std::vector<std::string> order = {"VTx_Init", "VTx_Exit", "VT_Init", "VT_Exit"};
    auto append = [&order](const std::vector<std::string>& more) {
        order.insert(order.end(), more.begin(), more.end());
    };
    const auto both = {"VTx_", "VT_"};
    append(withPrefixes(
        both, {"AllocRecord", "FreeRecord", "RetrieveRecord", "SetRecord", "UpdateRecord"}));
    append(
        withPrefixes(both, {"FieldHandle", "FieldHandleByLocal", "FieldName", "FreeRecordLayout",
                            "GetRecordLayoutCount", "GetRecordLayoutField", "GetRecordLayoutInit",
                            "GetRecordLayoutName", "InitAltRecordLayout", "InitRecordLayout",
                            "LocalNumFromHnd", "RecWriteClear", "RecWritten", "UpdateField"}));
    append(withPrefixes(both, {"FreeEditSet", "GetEditSetCount", "GetEditSetHandle",
                               "GetEditSetName", "GetEditSetSize", "LoadEditSet"}));
    append(withPrefixes(both, {"CheckFlag", "ClearAllFlags", "CountFlags", "SetFlag", "SumFlags"}));
    append(withPrefixes(both, {"FreeChoices", "GetChoices", "InitChoices", "InitFieldChoices"}));
    append({"VTx_GetShowEditName", "VTx_RunBatch", "VTx_RunEditByName", "VTx_RunSingle",
            "VTx_SetShowEditName", "VT_RunBatch", "VT_RunEditByName", "VT_RunSingle"});
    append(withPrefixes(both, {"GetEditCounts", "GetEditDescript", "GetEditHelp", "GetEditInfo",
                               "GetEditName", "GetMessageCount", "GetMessageText"}));
    append({"VTerr_ExportErrorList", "VTerr_GetEngineErrorMessage", "VTx_GetmfIDList",
            "VTx_GetOpenFileList"});
    append({"VTx_GetVar", "VTx_GetVarIndex", "VTx_GetVarSize", "VTx_SetEditsMessagesCallback",
            "VTx_SetVar", "VTx_SetVarIndex", "VT_GetVar", "VT_GetVarIndex", "VT_GetVarSize",
            "VT_SetVar", "VT_SetVarIndex"});
    append({"VT_EditOptions", "VT_FieldOptions", "VT_GetEditHandle", "VT_GetEditInfoEx",
            "VT_GetEditLogic", "VT_GetMessageTextEx", "VT_RecordLayoutOptions",
            "VT_UpdateRecordEx"});
    append({"VTx_EditOptions", "VTx_FieldOptions", "VTx_GetEditHandle", "VTx_GetEditInfoEx",
            "VTx_GetEditLogic", "VTx_GetEncodedEdit", "VTx_GetMessageTextEx",
            "VTx_RecordLayoutOptions", "VTx_UpdateRecordEx", "VTx_GetVersion"});
    return order;
}

// Exported by the library but not bound by the desktop program.
const std::vector<std::string> kOtherEntryPoints = {"VTx_GetLastEngineError",
                                                    "VTx_GetRecordLayoutDescript",
                                                    "VTx_CheckEditSetAgainstLayout",
                                                    "VTx_GetEditSetDescript",
                                                    "VTx_GetEditSetInfo",
                                                    "VT_GetEditSetInfo",
                                                    "VTx_GetMemoSize",
                                                    "VTx_SetDebug",
                                                    "VT_GetRecordPtr",
                                                    "VTi_GetEngineErrorMessage",
                                                    "VTi_ExportErrorList"};

const std::vector<std::string> kClassExports = {
    "_ZN9TMetaFile8MetaInitEv", "_ZNK9TMetaFile19VTi_GetMetaFileNameEv",
    "_ZNK9TMetaFile11VTi_GetmfIDEv", "_ZN9TMetaFile11VTi_SetmfIDEi"};

std::set<std::string> exportedFunctions(const std::string& library) {
    std::string command = "nm -D --defined-only --format=posix '" + library + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    std::set<std::string> names;
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        char name[400];
        char type = 0;
        if (std::sscanf(line, "%399s %c", name, &type) == 2 && (type == 'T' || type == 'W'))
            names.insert(name);
    }
    return names;
}

TEST(SharedLibrary, ResolvesEveryEntryPointByName) {
    vetra::platform::DynamicLibrary engine(VETRA40_LIBRARY_PATH);
    ASSERT_TRUE(engine.loaded()) << engine.error();
    const auto order = desktopResolutionOrder();
    for (const std::string& name : order)
        EXPECT_NE(engine.resolve(name.c_str()), nullptr) << name;
    for (const std::string& name : kOtherEntryPoints)
        EXPECT_NE(engine.resolve(name.c_str()), nullptr) << name;
    for (const std::string& name : kClassExports)
        EXPECT_NE(engine.resolve(name.c_str()), nullptr) << name;
}

// The desktop program's binding resolves the entry points of this list, in its order.
TEST(SharedLibrary, TheBindingResolvesTheDesktopsEntryPointsInOrder) {
#define VETRA_ENTRY_NAME(name) #name,
    const std::vector<std::string> binding = {RAV_ENGINE_ENTRY_POINTS(VETRA_ENTRY_NAME)};
#undef VETRA_ENTRY_NAME
    EXPECT_EQ(binding, desktopResolutionOrder());
}

TEST(SharedLibrary, ExportsExactlyTheEntryPointsAndTheClassMethods) {
    std::set<std::string> expected;
    for (const auto& list : {desktopResolutionOrder(), kOtherEntryPoints, kClassExports})
        expected.insert(list.begin(), list.end());
    auto exported = exportedFunctions(VETRA40_LIBRARY_PATH);
    std::vector<std::string> unexpected, missing;
    std::set_difference(exported.begin(), exported.end(), expected.begin(), expected.end(),
                        std::back_inserter(unexpected));
    std::set_difference(expected.begin(), expected.end(), exported.begin(), exported.end(),
                        std::back_inserter(missing));
    EXPECT_TRUE(unexpected.empty()) << "unexpected export " << unexpected.front();
    EXPECT_TRUE(missing.empty()) << "missing export " << missing.front();
}

TEST(SharedLibrary, AnswersThroughTheBoundEntryPoints) {
    vetra::platform::DynamicLibrary engine(VETRA40_LIBRARY_PATH);
    ASSERT_TRUE(engine.loaded()) << engine.error();
    auto getVersion = reinterpret_cast<decltype(&VTx_GetVersion)>(engine.resolve("VTx_GetVersion"));
    auto lookUp = reinterpret_cast<decltype(&VTerr_GetEngineErrorMessage)>(
        engine.resolve("VTerr_GetEngineErrorMessage"));
    auto runBatch = reinterpret_cast<decltype(&VTx_RunBatch)>(engine.resolve("VTx_RunBatch"));
    ASSERT_TRUE(getVersion && lookUp && runBatch);
    char version[16];
    EXPECT_EQ(getVersion(version, 12), 0);
    EXPECT_STREQ(version, "4.0.1.8");
    char message[100], function[50];
    EXPECT_EQ(lookUp(-2, message, 100, function, 50), 0);
    EXPECT_STREQ(message, "Invalid metafile mfID");
    int32_t count = 0;
    EXPECT_EQ(runBatch(3, 1, 0, &count, 0, nullptr), -2);
}

} // namespace
