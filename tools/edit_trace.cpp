// edit_trace: shows an edit author why an edit failed on a record. It runs the edit set that
// holds the edit on one record of a fixed-width data file, through the engine library loaded
// by name, and prints the engine's trace of that edit: the fields it uses, each source line
// marked as executed or passed over with the variables after it, the messages it added and
// its result. Usage: edit_trace METAFILE LAYOUT EDIT_NAME DATAFILE [--record N]
#include "tools/engine_host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using vetra::tools::Engine;

constexpr const char* kUsage =
    "Usage: edit_trace METAFILE LAYOUT EDIT_NAME DATAFILE [--record N]\n"
    "Runs the edit set holding EDIT_NAME on record N (default 1, one line of DATAFILE laid\n"
    "out as LAYOUT) and prints the trace of that edit: its fields, each source line (\xC2\xBB\n"
    "marks a line that ran) with the variables after it, its messages and its result.\n";

constexpr int32_t kLogicInMemory = 1; // tracing follows only logic held in memory
constexpr char kExecutedMarker = '\xBB';
constexpr const char* kExecutedMarkerUtf8 = "\xC2\xBB";

// The edit status bits the engine reports after a run.
constexpr int32_t kEditPassed = 0x001;
constexpr int32_t kEditFailed = 0x002;
constexpr int32_t kEditWarning = 0x004;
constexpr int32_t kEditSkipped = 0x008 | 0x010 | 0x020;
constexpr int32_t kEditFieldMissing = 0x100;

struct Arguments {
    const char* metafile = nullptr;
    const char* layout = nullptr;
    const char* edit = nullptr;
    const char* dataFile = nullptr;
    long record = 1;
};

std::optional<Arguments> parseArguments(int argc, char** argv) {
    Arguments arguments;
    std::vector<const char*> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--record") == 0) {
            if (++i == argc) return std::nullopt;
            char* end = nullptr;
            arguments.record = std::strtol(argv[i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || arguments.record < 1) return std::nullopt;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 4) return std::nullopt;
    arguments.metafile = positional[0];
    arguments.layout = positional[1];
    arguments.edit = positional[2];
    arguments.dataFile = positional[3];
    return arguments;
}

// The record's line of the data file, or nothing when the file can't be read or has fewer
// lines.
std::optional<std::string> readRecord(const char* path, long number) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "edit_trace: can't read the data file %s\n", path);
        return std::nullopt;
    }
    std::string line;
    for (long n = 0; n < number; ++n) {
        if (!std::getline(in, line)) {
            std::fprintf(stderr, "edit_trace: %s has no record %ld\n", path, number);
            return std::nullopt;
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Receives the engine's trace callbacks and prints them as they come.
struct TracePrinter {
    static void field(intptr_t, const char* text) { std::printf("  %s\n", text); }

    static void line(intptr_t, const char* text) {
        std::string shown = text;
        // The marker follows the line number's "%3i: ", which widens past line 999.
        size_t marker = shown.find(": ");
        if (marker != std::string::npos && marker + 2 < shown.size() &&
            shown[marker + 2] == kExecutedMarker)
            shown.replace(marker + 2, 1, kExecutedMarkerUtf8);
        std::printf("%s\n", shown.c_str());
    }

    static void variable(intptr_t, const char* text, int32_t iteration) {
        if (iteration == -1)
            std::printf("        %s\n", text);
        else
            std::printf("        %s (iteration %d)\n", text, iteration);
    }

    static void message(intptr_t, const char* text) { std::printf("Message: %s\n", text); }
};

struct EditLocation {
    int32_t set = 0;
    int32_t index = -1;
    std::string name; // as the metafile spells it: the trace matches it exactly
};

// Loads each edit set in turn with its logic in memory, keeping the first that holds the edit.
std::optional<EditLocation> findEdit(Engine& engine, int32_t id, const char* edit) {
    VT_RESOLVE(engine, VTx_GetEditSetCount);
    VT_RESOLVE(engine, VTx_GetEditSetName);
    VT_RESOLVE(engine, VTx_LoadEditSet);
    VT_RESOLVE(engine, VTx_GetEditHandle);
    VT_RESOLVE(engine, VTx_GetEditName);
    VT_RESOLVE(engine, VTx_FreeEditSet);
    int32_t count = 0;
    if (engine.report(VTx_GetEditSetCount(id, &count), "VTx_GetEditSetCount")) return std::nullopt;
    for (int32_t s = 1; s <= count; ++s) {
        char setName[80] = "";
        EditLocation location;
        int32_t status = 0;
        if (engine.report(VTx_GetEditSetName(id, s, setName), "VTx_GetEditSetName") ||
            engine.report(VTx_LoadEditSet(id, &location.set, setName, &status, kLogicInMemory),
                          "VTx_LoadEditSet"))
            return std::nullopt;
        if (VTx_GetEditHandle(id, location.set, &location.index, edit) == 0 &&
            location.index >= 0) {
            char name[80] = "";
            if (engine.report(VTx_GetEditName(id, location.set, location.index, name),
                              "VTx_GetEditName"))
                return std::nullopt;
            location.name = name;
            std::printf("Edit \"%s\" of edit set \"%s\"\n", name, setName);
            return location;
        }
        VTx_FreeEditSet(id, location.set);
    }
    std::fprintf(stderr, "edit_trace: no edit set holds an edit named \"%s\"\n", edit);
    return std::nullopt;
}

// The bound layout's record length, or nothing when the metafile has no such layout.
std::optional<int32_t> layoutLength(Engine& engine, int32_t id, const char* layout) {
    VT_RESOLVE(engine, VTx_GetRecordLayoutCount);
    VT_RESOLVE(engine, VTx_GetRecordLayoutName);
    int32_t count = 0;
    if (engine.report(VTx_GetRecordLayoutCount(id, &count), "VTx_GetRecordLayoutCount"))
        return std::nullopt;
    for (int32_t l = 1; l <= count; ++l) {
        char name[80] = "";
        int32_t length = 0;
        if (VTx_GetRecordLayoutName(id, l, name, &length) == 0 && std::strcmp(name, layout) == 0)
            return length;
    }
    std::fprintf(stderr, "edit_trace: the metafile has no record layout \"%s\"\n", layout);
    return std::nullopt;
}

void printResult(Engine& engine, int32_t id, const EditLocation& edit) {
    VT_RESOLVE(engine, VTx_GetEditInfoEx);
    char name[80] = "";
    int32_t fields = 0, status = 0, options = 0, errors = 0, warnings = 0, skips = 0;
    if (engine.report(VTx_GetEditInfoEx(id, edit.set, edit.index, name, &fields, &status, &options,
                                        &errors, &warnings, &skips),
                      "VTx_GetEditInfoEx"))
        return;
    const char* result = (status & kEditFailed) != 0         ? "failed"
                         : (status & kEditWarning) != 0      ? "passed with a warning"
                         : (status & kEditPassed) != 0       ? "passed"
                         : (status & kEditSkipped) != 0      ? "skipped"
                         : (status & kEditFieldMissing) != 0 ? "not run: a field is missing"
                                                             : "not run";
    std::printf("Result: %s\n", result);
}

int trace(Engine& engine, const Arguments& arguments) {
    VT_RESOLVE(engine, VTx_Init);
    VT_RESOLVE(engine, VTx_Exit);
    VT_RESOLVE(engine, VTx_AllocRecord);
    VT_RESOLVE(engine, VTx_InitRecordLayout);
    VT_RESOLVE(engine, VTx_ClearAllFlags);
    VT_RESOLVE(engine, VTx_UpdateRecord);
    VT_RESOLVE(engine, VTx_SetDebug);
    VT_RESOLVE(engine, VTx_RunBatch);
    if (!engine.missing.empty()) {
        std::fprintf(stderr, "edit_trace: the engine lacks %s\n", engine.missing.front().c_str());
        return 1;
    }
    int32_t id = -1;
    if (engine.report(VTx_Init(&id, arguments.metafile, nullptr, 0, nullptr), "VTx_Init")) {
        std::fprintf(stderr, "edit_trace: can't open the metafile %s\n", arguments.metafile);
        return 1;
    }
    auto run = [&]() {
        std::optional<int32_t> length = layoutLength(engine, id, arguments.layout);
        if (!length) return false;
        std::optional<std::string> record = readRecord(arguments.dataFile, arguments.record);
        if (!record) return false;
        if (record->size() < static_cast<size_t>(*length))
            std::fprintf(stderr,
                         "edit_trace: record %ld has %zu of the layout's %d columns; the rest "
                         "are traced as blanks\n",
                         arguments.record, record->size(), *length);
        record->resize(static_cast<size_t>(*length), ' ');
        int32_t buffer = -1;
        if (engine.report(VTx_AllocRecord(id, *length, &buffer), "VTx_AllocRecord") ||
            engine.report(VTx_InitRecordLayout(id, buffer, arguments.layout),
                          "VTx_InitRecordLayout"))
            return false;
        std::optional<EditLocation> edit = findEdit(engine, id, arguments.edit);
        if (!edit) return false;
        TracePrinter printer; // holds nothing, but the engine traces only for a non-zero owner
        if (engine.report(VTx_SetDebug(id, edit->name.c_str(), reinterpret_cast<intptr_t>(&printer),
                                       &TracePrinter::variable, &TracePrinter::field,
                                       &TracePrinter::line, &TracePrinter::message),
                          "VTx_SetDebug"))
            return false;
        VTx_ClearAllFlags(id);
        if (engine.report(VTx_UpdateRecord(id, buffer, record->c_str()), "VTx_UpdateRecord"))
            return false;
        std::printf("Record %ld of %s\nFields:\n", arguments.record, arguments.dataFile);
        int32_t messages = 0;
        if (engine.report(VTx_RunBatch(id, edit->set, 0, &messages, 0, nullptr), "VTx_RunBatch"))
            return false;
        printResult(engine, id, *edit);
        return true;
    };
    bool ok = run();
    engine.report(VTx_Exit(id), "VTx_Exit");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::optional<Arguments> arguments = parseArguments(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    vetra::platform::DynamicLibrary library(vetra::platform::sharedLibraryFileName("VETRA40"));
    if (!library.loaded()) {
        std::fprintf(stderr, "Can't load Vetra: %s\n", library.error().c_str());
        return 1;
    }
    Engine engine(library);
    return trace(engine, *arguments);
}
