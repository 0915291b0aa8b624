#include "tests/runs/run_metafile.h"

#include "tests/support/compiled_edits.h"
#include "tests/support/dictionary_item.h"

#include <gtest/gtest.h>

namespace vetra::testing {

writer::MetafileBuilder runMetafile(const std::vector<TestEdit>& edits,
                                    const std::vector<writer::EditSetDefinition>& sets) {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(dictionaryItem(10, "Code", "C", 2, "Code Long", "Code Title"));
    builder.addDictionaryEntry(
        dictionaryItem(485, "Registry", "C", 1, "Registry Long", "Registry Title"));
    builder.addDictionaryEntry(dictionaryItem(220, "Sex", "C", 1, "Sex Long", "Sex Title"));
    builder.addDictionaryEntry(dictionaryItem(390, "Date", "C", 8, "Date Long", "Date Title"));
    builder.addDictionaryEntry(dictionaryItem(400, "Site", "C", 4, "Site Long", "Site Title"));
    builder.addLayout(writer::RecordLayout{1,
                                           "Test",
                                           "",
                                           {{10, "C", 1, 2, ' '},
                                            {485, "C", 3, 1, ' '},
                                            {220, "C", 4, 1, ' '},
                                            {390, "C", 5, 8, ' '},
                                            {400, "C", 13, 4, ' '}}});
    builder.addMessage(100, "Sex %V1 at %C1 is wrong in %E");
    builder.addMessage(101, "Code %V1 with registry %V2");
    builder.addMessage(102, "Check %S1 (%F1)");
    builder.addMessage(103, "Values: %V1");
    builder.addMessage(104, "%F1 is %DC");
    addCompiledEdits(builder, edits, sets);
    return builder;
}

BoundRecord::BoundRecord(const writer::MetafileBuilder& builder, const std::string& text)
    : metafile_(builder) {
    EXPECT_EQ(VTx_AllocRecord(id(), 20, &record_), 0);
    EXPECT_EQ(VTx_InitRecordLayout(id(), record_, "Test"), 0);
    setText(text);
}

void BoundRecord::setText(const std::string& text) {
    EXPECT_EQ(VTx_UpdateRecord(id(), record_, text.c_str()), 0);
}

int32_t BoundRecord::load(const char* name, int32_t option) {
    int32_t handle = 0, status = -1;
    EXPECT_EQ(VTx_LoadEditSet(id(), &handle, name, &status, option), 0) << name;
    return handle;
}

std::vector<std::string> BoundRecord::messages() {
    int32_t count = 0;
    EXPECT_EQ(VTx_GetMessageCount(id(), &count), 0);
    std::vector<std::string> texts;
    for (int32_t n = 1; n <= count && n <= 400; ++n) {
        char type[2] = "";
        char text[300] = "";
        EXPECT_EQ(VTx_GetMessageText(id(), type, n, text, sizeof text), 0);
        texts.push_back(std::string(type) + ":" + text);
    }
    return texts;
}

int32_t BoundRecord::status(int32_t set, int32_t index) {
    char name[51];
    int32_t fields = 0, bits = 0, options = 0, errors = 0, warnings = 0, skips = 0;
    EXPECT_EQ(VTx_GetEditInfoEx(id(), set, index, name, &fields, &bits, &options, &errors,
                                &warnings, &skips),
              0);
    return bits;
}

} // namespace vetra::testing
