#include "tests/library/library_metafile.h"

#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "tests/support/dictionary_item.h"
#include "tools/edit_compiler/edit_compiler.h"

#include <gtest/gtest.h>
#include <map>

namespace vetra::testing {

namespace {

const std::map<std::string, int32_t, std::less<>> kFields = {
    {"Right", 10},     {"Left", 11}, {"Zero", 12}, {"Count", 13},
    {"Diagnosed", 14}, {"Flag", 15}, {"Tail", 16}};

writer::MetafileBuilder builder() {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(dictionaryItem(10, "Right", "R", 5));
    builder.addDictionaryEntry(dictionaryItem(11, "Left", "S", 5));
    builder.addDictionaryEntry(dictionaryItem(12, "Zero", "Z", 5));
    builder.addDictionaryEntry(dictionaryItem(13, "Count", "I", 4));
    builder.addDictionaryEntry(dictionaryItem(14, "Diagnosed", "D6", 10));
    builder.addDictionaryEntry(dictionaryItem(15, "Flag", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(16, "Tail", "T", 4));
    builder.addLayout(writer::RecordLayout{1,
                                           "Wide",
                                           "",
                                           {{10, "R", 1, 5, ' '},
                                            {11, "S", 6, 5, ' '},
                                            {12, "Z", 11, 5, ' '},
                                            {13, "I", 17, 4, ' '},
                                            {14, "D6", 21, 10, ' '},
                                            {15, "C", 31, 1, ' '},
                                            {16, "T", 33, 4, ' '}}});
    builder.addLayout(writer::RecordLayout{
        2, "Narrow", "", {{14, "D1", 1, 8, ' '}, {10, "R", 9, 5, ' '}, {15, "C", 14, 1, ' '}}});

    writer::DbfTable codes{"CODES.DBF", {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 10, 0}}, {}, {}};
    codes.rows = {{{"K100", "one"}, false}, {{"K200", "two"}, false}, {{"K300", "three"}, false}};
    codes.indexTags = {{"CODE", "CODE", false}};
    builder.addTable(codes);
    writer::DbfTable plain{"PLAIN.DBF", {{"NAME", 'C', 8, 0}, {"KIND", 'C', 2, 0}}, {}, {}};
    plain.rows = {{{"Alpha", "A"}, false}, {{"Beta", "B"}, false}};
    builder.addTable(plain);
    builder.addTable(writer::makeTextTable("STATES.ASC", "AL Alabama\nAK Alaska\n"));
    builder.addTable(writer::makeBinaryTable("BITS.BIN", 1, 16, {0x00, 0x00, 0x20, 0x01}));
    return builder;
}

std::optional<int32_t> fieldNumber(std::string_view name) {
    auto found = kFields.find(name);
    if (found == kFields.end()) return std::nullopt;
    return found->second;
}

std::string compile(std::string_view source) {
    return compiler::compileEdit(source, fieldNumber, "test.edit").logic;
}

} // namespace

LibraryMetafile::LibraryMetafile() : metafile_(builder()) {
    EXPECT_EQ(VTx_AllocRecord(id(), 40, &wide_), 0);
    EXPECT_EQ(VTx_InitRecordLayout(id(), wide_, "Wide"), 0);
    EXPECT_EQ(VTx_AllocRecord(id(), 20, &narrow_), 0);
    EXPECT_EQ(VTx_InitRecordLayout(id(), narrow_, "Narrow"), 0);
    setWide(std::string(40, ' '));
    setNarrow(std::string(20, ' '));
}

TMetaFile& LibraryMetafile::instance() {
    return *engineProcess().metafiles().find(id());
}

int32_t LibraryMetafile::run(std::string_view source) {
    try {
        return instance().interpreter().VTi_interpret(compile(source));
    } catch (const EngineFailure&) {
        ADD_FAILURE() << "the run failed with " << instance().lastEngineError() << " ("
                      << instance().lastError().text() << ") for " << source;
        return -1;
    }
}

int32_t LibraryMetafile::failureOf(std::string_view source) {
    return failureOfLogic(compile(source));
}

int32_t LibraryMetafile::failureOfLogic(std::string_view logic) {
    try {
        int32_t result = instance().interpreter().VTi_interpret(logic);
        ADD_FAILURE() << "the run passed with " << result << " for " << logic;
        return 0;
    } catch (const EngineFailure&) {
        return instance().lastEngineError();
    }
}

bool LibraryMetafile::gives(std::string_view expression, std::string_view expected) {
    std::string source =
        "return strcmp(" + std::string(expression) + ", \"" + std::string(expected) + "\") == 0;";
    return run(source) == 1;
}

std::string LibraryMetafile::record(int32_t id, int32_t handle, size_t length) {
    std::string text(length + 1, '\0');
    EXPECT_EQ(VTx_RetrieveRecord(id, handle, text.data()), 0);
    text.resize(length);
    return text;
}

std::string LibraryMetafile::wide() {
    return record(id(), wide_, 40);
}

std::string LibraryMetafile::narrow() {
    return record(id(), narrow_, 20);
}

// Written into the buffer directly: binary fields hold zero bytes, which the record calls
// would take for the end of the text.
void LibraryMetafile::store(int32_t handle, const std::string& text) {
    RecordSlot* slot = instance().records().find(handle);
    ASSERT_NE(slot, nullptr);
    text.copy(slot->buffer, std::min<size_t>(text.size(), static_cast<size_t>(slot->recordLength)));
}

void LibraryMetafile::setWide(const std::string& text) {
    store(wide_, text);
}

void LibraryMetafile::setNarrow(const std::string& text) {
    store(narrow_, text);
}

bool LibraryMetafile::written(const char* layout) {
    int32_t written = 0;
    VTx_RecWritten(id(), layout, &written); // 1001 while nothing was written
    return written == 1;
}

} // namespace vetra::testing
