#include "desktop/shell/run_edits.h"

#include "desktop/shell/metafile_session.h"

#include <cstring>

namespace vetra::desktop {

namespace {

constexpr const char* kSource = "Unit1";

// Allocates the record for the layout, binds it and marks the override fields; false when the
// layout cannot be prepared (already reported).
bool prepareRecord(const RAVengine& engine, platform::MessageBoxes& messages, std::int32_t mfID,
                   const RunRequest& request, std::int32_t& recordHandle) {
    const auto& api = engine.api();
    if (auto status = api.VTx_AllocRecord(mfID, request.largestRecordLength, &recordHandle);
        status != 0) {
        ShowError(engine, messages, status, "VTx_AllocRecord", kSource, __LINE__);
        return false;
    }
    const char* layout = request.layoutName.c_str();
    if (auto status = api.VTx_InitRecordLayout(mfID, recordHandle, layout); status != 0) {
        ShowError(engine, messages, status, "VTx_InitRecordLayout", kSource, __LINE__);
        return false;
    }
    std::int32_t fieldCount = 0;
    if (api.VTx_GetRecordLayoutInit(mfID, layout, &fieldCount) != 0) fieldCount = 0;
    for (std::int32_t i = 0; i < fieldCount; ++i) {
        char shortName[80] = "", longName[80] = "", typeCode[80] = "", thirdName[80] = "";
        std::int32_t start = 0, local = 0, length = 0, handle = 0;
        if (api.VTx_GetRecordLayoutField(mfID, &start, &local, shortName, longName, typeCode,
                                         thirdName, &length, &handle) != 0)
            continue;
        if (std::strstr(shortName, "Over-ride") == nullptr) continue;
        std::int32_t overrideField = 4;
        api.VTx_FieldOptions(mfID, handle, &overrideField);
    }
    return true;
}

std::vector<EditSetEntry> loadEditSets(const RAVengine& engine, platform::MessageBoxes& messages,
                                       std::int32_t mfID, const std::vector<std::string>& names) {
    const auto& api = engine.api();
    std::vector<EditSetEntry> sets;
    for (const auto& name : names) {
        if (sets.size() == kMaximumEditSets) break;
        EditSetEntry entry{name, 0, 0};
        std::int32_t loadStatus = 0;
        if (auto status = api.VTx_LoadEditSet(mfID, &entry.handle, name.c_str(), &loadStatus, 1);
            status != 0) {
            ShowError(engine, messages, status, "VTx_LoadEditSet", kSource, __LINE__);
            continue;
        }
        api.VTx_GetEditSetSize(mfID, entry.handle, &entry.editCount);
        sets.push_back(entry);
    }
    return sets;
}

} // namespace

RunOutcome RunEdits(const RAVengine& engine, platform::MessageBoxes& messages, RunDriver& driver,
                    const RunRequest& request) {
    if (!appendRunHeader(request.runLogPath, request.logHeader))
        messages.show(request.runLogPath, "Unable to open log file in RunEdits()");
    RunOutcome outcome = RunOutcome::NotStarted;
    {
        MetafileSession metafile(engine, messages);
        metafile.open(request.settings.metafilePath);
        std::int32_t recordHandle = 0;
        if (metafile.isOpen() &&
            prepareRecord(engine, messages, metafile.mfID(), request, recordHandle)) {
            const auto sets = loadEditSets(engine, messages, metafile.mfID(), request.editSets);
            if (!sets.empty()) {
                const int code = driver.Run(request.settings, metafile.mfID(), recordHandle, sets,
                                            request.countsOnly);
                outcome = RunOutcome::Completed;
                if (code != 0) {
                    messages.show("VETRA Run Failed at line " + std::to_string(code),
                                  "Debug Message from line " + std::to_string(__LINE__) + " of " +
                                      kSource);
                    outcome = RunOutcome::Failed;
                }
            }
        }
    }
    driver.clearHalt();
    return outcome;
}

} // namespace vetra::desktop
