#include "tests/interp/edit_runner.h"

#include "engine/api/engine_process.h"
#include "tests/support/dictionary_item.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <gtest/gtest.h>
#include <map>

namespace vetra::testing {

namespace {

writer::MetafileBuilder testLayout() {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(dictionaryItem(220, "Sex", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(390, "Date of Diagnosis", "C", 8));
    builder.addDictionaryEntry(dictionaryItem(400, "Primary Site", "C", 4));
    builder.addLayout(writer::RecordLayout{
        1, "Test", "", {{220, "C", 1, 1, ' '}, {390, "C", 2, 8, ' '}, {400, "C", 10, 4, ' '}}});
    return builder;
}

std::optional<int32_t> testField(std::string_view name) {
    static const std::map<std::string, int32_t, std::less<>> fields = {
        {"Sex", 220}, {"Date of Diagnosis", 390}, {"Primary Site", 400}};
    auto found = fields.find(name);
    if (found == fields.end()) return std::nullopt;
    return found->second;
}

} // namespace

EditRunner::EditRunner(std::string_view record) : metafile_(testLayout()) {
    EXPECT_EQ(VTx_AllocRecord(id(), 20, &record_), 0);
    EXPECT_EQ(VTx_InitRecordLayout(id(), record_, "Test"), 0);
    EXPECT_EQ(VTx_UpdateRecord(id(), record_, std::string(record).c_str()), 0);
}

TMetaFile& EditRunner::instance() {
    return *engineProcess().metafiles().find(id());
}

std::string EditRunner::compile(std::string_view source) {
    return compiler::compileEdit(source, testField, "test.edit").logic;
}

int32_t EditRunner::run(std::string_view source) {
    return runLogic(compile(source));
}

int32_t EditRunner::runLogic(std::string_view logic) {
    try {
        return interpreter().VTi_interpret(logic);
    } catch (const EngineFailure&) {
        ADD_FAILURE() << "the run failed with " << instance().lastEngineError() << " ("
                      << lastErrorText() << ") for " << logic;
        return -1;
    }
}

int32_t EditRunner::failureOf(std::string_view source) {
    return failureOfLogic(compile(source));
}

int32_t EditRunner::failureOfLogic(std::string_view logic) {
    try {
        int32_t result = interpreter().VTi_interpret(logic);
        ADD_FAILURE() << "the run passed with " << result << " for " << logic;
        return 0;
    } catch (const EngineFailure&) {
        EXPECT_FALSE(instance().editLogicRunning());
        return instance().lastEngineError();
    }
}

} // namespace vetra::testing
