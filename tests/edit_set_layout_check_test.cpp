#include "engine/api/engine_process.h"
#include "engine/edits/edit_set_layout_check.h"
#include "tests/support/open_metafile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace writer = vetra::writer;

std::string integers(std::initializer_list<int32_t> values) {
    std::string bytes;
    for (int32_t value : values)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xFF));
    return bytes;
}

TEST(EditSetLayoutCheck, ReportsEachFieldTheLayoutLacksWithItsDictionaryName) {
    writer::MetafileBuilder builder;
    for (long local : {10L, 20L, 30L}) {
        writer::DictionaryEntry entry;
        entry.localNumber = local;
        entry.shortName = "Item " + std::to_string(local);
        entry.typeCode = "C";
        entry.length = 1;
        builder.addDictionaryEntry(entry);
    }
    builder.addLayout(writer::RecordLayout{1, "Small", "", {{10, "C", 1, 1, ' '}}});
    builder.addInternalRow("_RE_CEDI.DBF", {{"Edit One", "1", "", "", "", integers({10, 20})}});
    builder.addInternalRow("_RE_CEDI.DBF", {{"Edit Two", "2", "", "", "", integers({30, 99})}});
    builder.addInternalRow("_RE_EDSE.DBF", {{"The Set", integers({2, 1})}});
    vetra::testing::OpenMetafile metafile(builder);
    TMetaFile& instance = *vetra::engineProcess().metafiles().find(metafile.id());
    const auto& tables = instance.directory().internalTables();

    std::vector<int32_t> layoutFields = vetra::layoutLocalNumbers(instance.stream(), tables, 1);
    EXPECT_EQ(layoutFields, std::vector<int32_t>{10});

    struct Report {
        int32_t local;
        std::string field, edit;
    };
    std::vector<Report> reports;
    auto collect = [](intptr_t owner, int32_t local, const char* field, const char* edit) {
        reinterpret_cast<std::vector<Report>*>(owner)->push_back({local, field, edit});
    };
    vetra::reportFieldsMissingFromLayout(instance.stream(), tables, "The Set", layoutFields,
                                         reinterpret_cast<intptr_t>(&reports), collect);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].local, 30);
    EXPECT_EQ(reports[0].field, "Item 30");
    EXPECT_EQ(reports[0].edit, "Edit Two");
    EXPECT_EQ(reports[1].field, "NOT FOUND in _RE_DDIC.DBF");
    EXPECT_EQ(reports[2].local, 20);
    EXPECT_EQ(reports[2].edit, "Edit One");

    reports.clear();
    vetra::reportFieldsMissingFromLayout(instance.stream(), tables, "the set", layoutFields,
                                         reinterpret_cast<intptr_t>(&reports), collect);
    EXPECT_TRUE(reports.empty()); // the edit set name is matched exactly
}

} // namespace
