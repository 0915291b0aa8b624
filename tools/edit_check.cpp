// edit_check: runs every edit set of a metafile over a NAACCR data file through the engine
// library, loaded by name, and prints each edit's error, warning and skip counts, the totals
// and the rate. Usage: edit_check METAFILE DATAFILE
//
// An edit whose logic ends in an engine error (a built-in function this engine lacks, say)
// would stop every batch it is in; such an edit is found in a first pass over the data,
// reported once with the engine's text, and suppressed, so that the counts of the others are
// whole.
#include "tools/engine_host.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using vetra::tools::Engine;

constexpr char kAnnouncement = '\x01';
constexpr int32_t kSuppress = 8;

struct EditSet {
    std::string name;
    int32_t handle = 0;
    int32_t edits = 0;
};

struct Announcements {
    std::string lastEdit;
    static void receive(intptr_t owner, const char* text) {
        if (text[0] == kAnnouncement) reinterpret_cast<Announcements*>(owner)->lastEdit = text + 1;
    }
};

std::vector<std::string> readRecords(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> records;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        records.push_back(line);
    }
    return records;
}

class Checker {
public:
    Checker(Engine& engine, int32_t id, int32_t record)
        : engine_(engine), id_(id), record_(record) {}

    bool loadSets() {
        VT_RESOLVE(engine_, VTx_GetEditSetCount);
        VT_RESOLVE(engine_, VTx_GetEditSetName);
        VT_RESOLVE(engine_, VTx_LoadEditSet);
        VT_RESOLVE(engine_, VTx_GetEditSetSize);
        int32_t count = 0;
        if (engine_.report(VTx_GetEditSetCount(id_, &count), "VTx_GetEditSetCount")) return false;
        sets_.resize(static_cast<size_t>(count));
        for (int32_t s = 0; s < count; ++s) {
            EditSet& set = sets_[static_cast<size_t>(s)];
            char name[80];
            int32_t status = 0;
            if (engine_.report(VTx_GetEditSetName(id_, s + 1, name), "VTx_GetEditSetName") ||
                engine_.report(VTx_LoadEditSet(id_, &set.handle, name, &status, 1),
                               "VTx_LoadEditSet") ||
                engine_.report(VTx_GetEditSetSize(id_, set.handle, &set.edits),
                               "VTx_GetEditSetSize"))
                return false;
            set.name = name;
            for (const std::string& edit : unrunnable_)
                suppress(set, edit);
        }
        return true;
    }

    // Runs every set on every record; a failing edit is suppressed and the record run again.
    bool findUnrunnableEdits(const std::vector<std::string>& records) {
        VT_RESOLVE(engine_, VTx_SetShowEditName);
        engine_.report(VTx_SetShowEditName(id_, kAnnouncement), "VTx_SetShowEditName");
        for (const std::string& record : records) {
            for (EditSet& set : sets_) {
                Announcements seen;
                while (runSet(set, record, &seen) != 0) {
                    if (seen.lastEdit.empty() || unrunnable_.count(seen.lastEdit) != 0)
                        return false;
                    reportUnrunnable(seen.lastEdit);
                    seen.lastEdit.clear();
                }
            }
        }
        return engine_.report(VTx_SetShowEditName(id_, 0), "VTx_SetShowEditName") == 0;
    }

    bool checkAll(const std::vector<std::string>& records) {
        for (const std::string& record : records)
            for (EditSet& set : sets_)
                if (engine_.report(runSet(set, record, nullptr), "VTx_RunBatch")) return false;
        return true;
    }

    bool printCounts(size_t records, double seconds);

private:
    int32_t runSet(const EditSet& set, const std::string& record, Announcements* seen) {
        VT_RESOLVE(engine_, VTx_ClearAllFlags);
        VT_RESOLVE(engine_, VTx_UpdateRecord);
        VT_RESOLVE(engine_, VTx_RunBatch);
        VTx_ClearAllFlags(id_);
        VTx_UpdateRecord(id_, record_, record.c_str());
        int32_t messages = 0;
        return seen != nullptr
                   ? VTx_RunBatch(id_, set.handle, 0, &messages, reinterpret_cast<intptr_t>(seen),
                                  &Announcements::receive)
                   : VTx_RunBatch(id_, set.handle, 0, &messages, 0, nullptr);
    }

    void suppress(const EditSet& set, const std::string& edit) {
        VT_RESOLVE(engine_, VTx_GetEditHandle);
        VT_RESOLVE(engine_, VTx_EditOptions);
        int32_t index = -1;
        if (VTx_GetEditHandle(id_, set.handle, &index, edit.c_str()) != 0 || index < 0) return;
        int32_t options = kSuppress;
        VTx_EditOptions(id_, set.handle, index, &options);
    }

    void reportUnrunnable(const std::string& edit) {
        VT_RESOLVE(engine_, VTx_GetMessageText);
        char type[2], text[300] = "";
        VTx_GetMessageText(id_, type, -1, text, sizeof text);
        std::printf("Not run: \"%s\": %s\n", edit.c_str(), text);
        unrunnable_.insert(edit);
        for (const EditSet& set : sets_)
            suppress(set, edit);
    }

    Engine& engine_;
    int32_t id_;
    int32_t record_;
    std::vector<EditSet> sets_;
    std::set<std::string> unrunnable_;
};

bool Checker::printCounts(size_t records, double seconds) {
    VT_RESOLVE(engine_, VTx_GetEditInfoEx);
    long errorsTotal = 0, warningsTotal = 0, skipsTotal = 0, executions = 0;
    for (const EditSet& set : sets_) {
        std::printf("\nEdit set \"%s\" (%d edits)\n%8s %8s %8s  %s\n", set.name.c_str(), set.edits,
                    "errors", "warnings", "skips", "edit");
        for (int32_t e = 0; e < set.edits; ++e) {
            char name[80];
            int32_t fields = 0, status = 0, options = 0, errors = 0, warnings = 0, skips = 0;
            if (engine_.report(VTx_GetEditInfoEx(id_, set.handle, e, name, &fields, &status,
                                                 &options, &errors, &warnings, &skips),
                               "VTx_GetEditInfoEx"))
                return false;
            bool notRun = unrunnable_.count(name) != 0;
            if (notRun)
                std::printf("%8s %8s %8s  %s\n", "-", "-", "-", name);
            else
                std::printf("%8d %8d %8d  %s\n", errors, warnings, skips, name);
            errorsTotal += errors;
            warningsTotal += warnings;
            skipsTotal += skips;
            if (!notRun) executions += static_cast<long>(records) - skips;
        }
    }
    std::printf("\nTotals: %zu records, %ld errors, %ld warnings, %ld skips; %zu edits not run\n",
                records, errorsTotal, warningsTotal, skipsTotal, unrunnable_.size());
    if (seconds > 0)
        std::printf("%.0f records per second, %.0f edit executions per second (one core)\n",
                    static_cast<double>(records) / seconds,
                    static_cast<double>(executions) / seconds);
    return true;
}

int check(Engine& engine, const char* metafile, const char* dataFile) {
    VT_RESOLVE(engine, VTx_Init);
    VT_RESOLVE(engine, VTx_Exit);
    VT_RESOLVE(engine, VTx_GetRecordLayoutName);
    VT_RESOLVE(engine, VTx_AllocRecord);
    VT_RESOLVE(engine, VTx_InitRecordLayout);
    if (!engine.missing.empty()) return 1;
    std::vector<std::string> records = readRecords(dataFile);
    int32_t id = -1, record = -1;
    if (engine.report(VTx_Init(&id, metafile, nullptr, 0, nullptr), "VTx_Init")) return 1;
    char layout[80] = "";
    int32_t length = 0;
    bool ok = engine.report(VTx_GetRecordLayoutName(id, 1, layout, &length),
                            "VTx_GetRecordLayoutName") == 0 &&
              engine.report(VTx_AllocRecord(id, length, &record), "VTx_AllocRecord") == 0 &&
              engine.report(VTx_InitRecordLayout(id, record, layout), "VTx_InitRecordLayout") == 0;
    Checker checker(engine, id, record);
    std::printf("Checking %zu records of %s against %s (layout \"%s\")\n", records.size(), dataFile,
                metafile, layout);
    ok = ok && checker.loadSets() && checker.findUnrunnableEdits(records) && checker.loadSets();
    auto start = std::chrono::steady_clock::now();
    ok = ok && checker.checkAll(records);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ok = ok && checker.printCounts(records.size(), elapsed.count());
    engine.report(VTx_Exit(id), "VTx_Exit");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: edit_check METAFILE DATAFILE\n");
        return 1;
    }
    vetra::platform::DynamicLibrary library(vetra::platform::sharedLibraryFileName("VETRA40"));
    if (!library.loaded()) {
        std::fprintf(stderr, "Can't load Vetra: %s\n", library.error().c_str());
        return 1;
    }
    Engine engine(library);
    return check(engine, argv[1], argv[2]);
}
