#include "desktop/workflow/run_sequence.h"

#include "desktop/run/deferred_messages.h"
#include "desktop/workflow/metafile_session.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace vetra::desktop {

namespace {

constexpr const char* kSource = "Unit1";

constexpr const char* kRunFailedAdvice =
    "\n\nThe run stopped before its end; the message shown before this one says why.  Its "
    "results are not offered for reports: mend the cause and run again.";

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

bool sameEditSets(const std::vector<EditSetEntry>& a, const std::vector<EditSetEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.name == y.name && x.editCount == y.editCount;
    });
}

// The further instances a run in parts checks on, each prepared as the first was. One that
// cannot be prepared the same way is left out and the range is split among fewer parts, so
// what these openings might have to say is not shown.
class FurtherInstances {
public:
    FurtherInstances(const RAVengine& engine, const RunRequest& request,
                     const EngineInstance& first, std::size_t wanted) {
        for (std::size_t k = 0; k < wanted; ++k) {
            auto session = std::make_unique<MetafileSession>(
                engine, unshown_, request.settings.externalLibraryFolders);
            EngineInstance instance;
            if (!session->open(request.settings.metafilePath) ||
                !prepareRecord(engine, unshown_, session->mfID(), request, instance.recordHandle))
                continue;
            instance.mfID = session->mfID();
            instance.editSets = loadEditSets(engine, unshown_, instance.mfID, request.editSets);
            if (!sameEditSets(instance.editSets, first.editSets)) continue;
            instances_.push_back(std::move(instance));
            sessions_.push_back(std::move(session));
        }
    }
    const std::vector<EngineInstance>& instances() const { return instances_; }

private:
    DeferredMessageBoxes unshown_;
    std::vector<EngineInstance> instances_;
    std::vector<std::unique_ptr<MetafileSession>> sessions_;
};

std::size_t partsWanted(const RunSettings& settings) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(
        std::min<std::int64_t>(settings.jobs, settings.recordsToEdit), 1, kMaximumJobs));
}

} // namespace

RunOutcome RunEdits(const RAVengine& engine, platform::MessageBoxes& messages, RunDriver& driver,
                    const RunRequest& request) {
    if (!appendRunHeader(request.runLogPath, request.logHeader))
        messages.show(runLogProblemText(request.runLogPath, errno),
                      "Unable to open log file in RunEdits()");
    RunOutcome outcome = RunOutcome::NotStarted;
    {
        MetafileSession metafile(engine, messages, request.settings.externalLibraryFolders);
        metafile.open(request.settings.metafilePath);
        std::int32_t recordHandle = 0;
        if (metafile.isOpen() &&
            prepareRecord(engine, messages, metafile.mfID(), request, recordHandle)) {
            const auto sets = loadEditSets(engine, messages, metafile.mfID(), request.editSets);
            if (!sets.empty()) {
                std::vector<EngineInstance> instances{{metafile.mfID(), recordHandle, sets}};
                const FurtherInstances further(engine, request, instances.front(),
                                               partsWanted(request.settings) - 1);
                instances.insert(instances.end(), further.instances().begin(),
                                 further.instances().end());
                const int code = driver.Run(request.settings, instances, request.countsOnly);
                outcome = RunOutcome::Completed;
                if (code != 0) {
                    messages.show(
                        "VETRA Run Failed at line " + std::to_string(code) + kRunFailedAdvice,
                        "Debug Message from line " + std::to_string(__LINE__) + " of " + kSource);
                    outcome = RunOutcome::Failed;
                }
            }
        }
    }
    driver.clearHalt();
    return outcome;
}

} // namespace vetra::desktop
