// Every edit of the bundled sample, run over generated records with faults of every kind,
// gives the same results from its translation as from its tokens: two instances of the
// metafile, one of them with the engine variable _REFERENCE_INTERPRETER set, check the same
// records, and everything a host can observe is compared after each edit set's run.
#include "engine/api/vetra40.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int32_t kRecordLength = 4048;

void collect(intptr_t owner, const char* text) {
    reinterpret_cast<std::vector<std::string>*>(owner)->push_back(text);
}

// An instance of the sample with every edit set loaded, logic in memory.
struct Instance {
    explicit Instance(bool reference) {
        EXPECT_EQ(VTx_Init(&id, SAMPLE_METAFILE, nullptr, 0, nullptr), 0);
        EXPECT_EQ(VTx_AllocRecord(id, kRecordLength, &record), 0);
        EXPECT_EQ(VTx_InitRecordLayout(id, record, "NAACCR 18 Incidence"), 0);
        if (reference) {
            EXPECT_EQ(VTx_SetVar(id, "_REFERENCE_INTERPRETER", "1"), 0);
        }
        int32_t count = 0;
        VTx_GetEditSetCount(id, &count);
        for (int32_t s = 1; s <= count; ++s) {
            char name[64];
            int32_t handle = 0, status = 0;
            VTx_GetEditSetName(id, s, name);
            EXPECT_EQ(VTx_LoadEditSet(id, &handle, name, &status, 1), 0);
            editSets.push_back(handle);
        }
    }
    ~Instance() { VTx_Exit(id); }

    // What a host sees of one edit set's run on the current record.
    std::string run(int32_t editSet, int32_t flags) {
        std::vector<std::string> announced;
        int32_t messages = 0;
        int32_t code = VTx_RunBatch(id, editSet, flags, &messages,
                                    reinterpret_cast<intptr_t>(&announced), collect);
        std::ostringstream seen;
        seen << "code " << code << " messages " << messages << '\n';
        for (const std::string& text : announced)
            seen << "announced " << text << '\n';
        for (int32_t m = 1; m <= messages; ++m) {
            char type[2] = "", text[1024] = "", editName[64] = "";
            int32_t own = 0, set = 0, edit = 0, fields = 0;
            int32_t result = VTx_GetMessageTextEx(id, type, m, text, sizeof text, &own, &set, &edit,
                                                  editName, &fields);
            seen << result << ' ' << type << ' ' << own << ' ' << edit << ' ' << editName << ' '
                 << fields << ' ' << text << '\n';
        }
        char type[2] = "", lastText[1024] = "";
        seen << "last " << VTx_GetLastEngineError(id) << ' '
             << VTx_GetMessageText(id, type, -1, lastText, sizeof lastText) << ' ' << lastText
             << '\n';
        int32_t flagCount = 0, flagSum = 0;
        VTx_CountFlags(id, &flagCount);
        VTx_SumFlags(id, &flagSum);
        seen << "flags " << flagCount << ' ' << flagSum << '\n';
        std::string after(kRecordLength + 1, '\0');
        VTx_RetrieveRecord(id, record, after.data());
        int32_t written = -1;
        VTx_RecWritten(id, "NAACCR 18 Incidence", &written);
        seen << "record " << after.c_str() << " written " << written << '\n';
        return seen.str();
    }

    // Each edit's counts after the whole file.
    std::string counts() {
        std::ostringstream seen;
        for (size_t s = 0; s < editSets.size(); ++s) {
            int32_t editSet = editSets[s], edits = 0;
            VTx_GetEditSetSize(id, editSet, &edits);
            for (int32_t e = 0; e < edits; ++e) {
                int32_t fields = 0, errors = 0, warnings = 0, skips = 0;
                VTx_GetEditCounts(id, editSet, e, &fields, &errors, &warnings, &skips);
                seen << s << '/' << e << ": " << fields << ' ' << errors << ' ' << warnings << ' '
                     << skips << '\n';
            }
        }
        return seen.str();
    }

    int32_t id = -1;
    int32_t record = -1;
    std::vector<int32_t> editSets;
};

TEST(TranslationIdentity, EverySampleEditGivesTheReferenceResultsOnFaultyRecords) {
    Instance translated(false), reference(true);
    ASSERT_FALSE(translated.editSets.empty());
    std::ifstream in(DIFFERENTIAL_RECORDS);
    ASSERT_TRUE(in) << DIFFERENTIAL_RECORDS;
    // The run options a host combines: plain, skipping empty fields and failed edits,
    // warnings suppressed, every field's edits.
    const int32_t flagSets[] = {0, VT_SKIPEMPTY | VT_SKIPFAIL, VT_SUPPRESSWARNINGS,
                                VT_ALLFIELDEDITS | VT_SKIPEMPTY};
    int records = 0, differences = 0;
    for (std::string line; std::getline(in, line); ++records) {
        ASSERT_EQ(VTx_UpdateRecord(translated.id, translated.record, line.c_str()), 0);
        ASSERT_EQ(VTx_UpdateRecord(reference.id, reference.record, line.c_str()), 0);
        int32_t flags = flagSets[records % 4];
        for (size_t s = 0; s < translated.editSets.size(); ++s) {
            std::string fast = translated.run(translated.editSets[s], flags);
            std::string slow = reference.run(reference.editSets[s], flags);
            if (fast != slow && ++differences <= 3)
                ADD_FAILURE() << "record " << records + 1 << ", edit set " << s + 1
                              << "\ntranslated:\n"
                              << fast << "reference:\n"
                              << slow;
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GE(records, 3000);
    EXPECT_EQ(translated.counts(), reference.counts());
}

} // namespace
