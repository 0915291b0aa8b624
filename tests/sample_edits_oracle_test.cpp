// The sample metafile's edits judged by the engine on the generator's records: a clean record
// passes every edit of both sets, and a record with planted faults fails exactly the edits
// that catch them and those whose rules follow from them. So an edit whose logic went wrong, or a
// fault that no longer breaks its rule, shows here rather than passing unnoticed.
#include "engine/api/vetra40.h"
#include "tools/naaccr_generator/incidence_generator.h"
#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/record_faults.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using vetra::generator::IncidenceGenerator;
using vetra::generator::RecordFault;

// The edits a fault fails: always the edit whose rule it breaks, and the edits whose rules
// follow from it (a birth after diagnosis leaves no age that fits the dates); `may` are those
// that fail or not with the values drawn (which required item is blanked, whether the
// treatment dates lie after the moved last contact, whether the case is known only from a
// death certificate, whose diagnosis and last contact share one date).
struct FaultEdits {
    std::set<std::string> must;
    std::set<std::string> may;
};

const std::map<RecordFault, FaultEdits> kEditsOfFault = {
    {RecordFault::InvalidSexCode, {{"Sex, Valid Code (NAACCR)"}, {}}},
    {RecordFault::UnknownPrimarySite,
     {{"Primary Site (NAACCR)"}, {"Primary Site, Laterality (NAACCR)"}}},
    {RecordFault::InvalidBehaviorCode, {{"Behavior Code ICD-O-3 (NAACCR)"}, {}}},
    {RecordFault::BlankRequiredItem,
     {{"Required Items, Not Blank (NAACCR)"},
      {"Behavior Code ICD-O-3 (NAACCR)", "Date of Diagnosis (NAACCR)",
       "Histologic Type ICD-O-3 (NAACCR)", "Primary Site (NAACCR)",
       "Primary Site, Laterality (NAACCR)", "Sex, Valid Code (NAACCR)"}}},
    {RecordFault::LastContactBeforeDiagnosis,
     {{"Date of Diagnosis, Date Last Contact (NAACCR)",
       "Date of 1st Contact, Date Last Contact (NAACCR)"},
      {"RX Dates, Date of Last Contact (NAACCR)", "Type of Reporting Source, DCO (NAACCR)"}}},
    {RecordFault::AgeMismatch, {{"Age, Birth Date, Date of Diagnosis (NAACCR)"}, {}}},
    {RecordFault::ProstateInFemale, {{"Primary Site, Sex (NAACCR)"}, {}}},
    {RecordFault::ImpossibleDiagnosisDate, {{"Date of Diagnosis (NAACCR)"}, {}}},
    {RecordFault::BirthAfterDiagnosis,
     {{"Date of Birth, Date of Diagnosis (NAACCR)", "Age, Birth Date, Date of Diagnosis (NAACCR)"},
      {}}},
    {RecordFault::SurgeryBeforeDiagnosis, {{"RX Dates, Date of Diagnosis (NAACCR)"}, {}}},
};

const vetra::generator::IncidenceLayout& sampleLayout() {
    static const auto layout = vetra::generator::readIncidenceLayout(
        std::filesystem::path(NAACCR18_SAMPLE) / "layout.csv");
    return layout;
}

class SampleEditsOracle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VTx_Init(&id, SAMPLE_METAFILE, nullptr, 0, nullptr), 0);
        ASSERT_EQ(VTx_AllocRecord(id, 4048, &record), 0);
        ASSERT_EQ(VTx_InitRecordLayout(id, record, "NAACCR 18 Incidence"), 0);
        for (const char* name : {"Incidence Core Edits", "Incidence Date Edits"}) {
            int32_t handle = 0, status = -1;
            ASSERT_EQ(VTx_LoadEditSet(id, &handle, name, &status, 1), 0) << name;
            sets.push_back(handle);
        }
    }
    void TearDown() override { VTx_Exit(id); }

    // The edits that fail the record or warn about it, every edit run without skips.
    std::set<std::string> editsFailing(const std::string& text) {
        std::set<std::string> names;
        EXPECT_EQ(VTx_ClearAllFlags(id), 0);
        EXPECT_EQ(VTx_UpdateRecord(id, record, text.c_str()), 0);
        for (int32_t set : sets) {
            int32_t count = 0;
            EXPECT_EQ(VTx_RunBatch(id, set, 0, &count, 0, nullptr), 0);
            for (int32_t m = 1; m <= count; ++m) {
                int32_t handle = 0, index = 0;
                char name[128] = "";
                EXPECT_EQ(VTx_GetEditSetHandle(id, m, &handle, &index), 0);
                EXPECT_EQ(VTx_GetEditName(id, handle, index, name), 0);
                names.insert(name);
            }
        }
        return names;
    }

    int32_t id = -1;
    int32_t record = -1;
    std::vector<int32_t> sets;
};

TEST_F(SampleEditsOracle, CleanRecordsPassEveryEdit) {
    IncidenceGenerator generator(sampleLayout(), 33, 0.0);
    for (int i = 0; i < 400; ++i) {
        const std::string& text = generator.next().text();
        EXPECT_EQ(editsFailing(text), std::set<std::string>{}) << "record " << i + 1;
    }
}

TEST_F(SampleEditsOracle, EachPlantedFaultFailsItsEditsAndNoOthers) {
    IncidenceGenerator generator(sampleLayout(), 33, 1.0);
    std::map<RecordFault, int> seen;
    for (int i = 0; i < 400; ++i) {
        const std::string& text = generator.next().text();
        std::set<std::string> must, allowed;
        for (RecordFault fault : generator.faults()) {
            const FaultEdits& edits = kEditsOfFault.at(fault);
            must.insert(edits.must.begin(), edits.must.end());
            allowed.insert(edits.must.begin(), edits.must.end());
            allowed.insert(edits.may.begin(), edits.may.end());
            ++seen[fault];
        }
        std::string faults;
        for (RecordFault fault : generator.faults())
            faults += std::string(vetra::generator::faultName(fault)) + "; ";
        SCOPED_TRACE(faults);
        const std::set<std::string> failing = editsFailing(text);
        for (const std::string& edit : must)
            EXPECT_TRUE(failing.contains(edit)) << "record " << i + 1 << " passes " << edit;
        for (const std::string& edit : failing)
            EXPECT_TRUE(allowed.contains(edit)) << "record " << i + 1 << " fails " << edit;
    }
    for (const auto& [fault, edits] : kEditsOfFault)
        EXPECT_GE(seen[fault], 10) << vetra::generator::faultName(fault);
}

} // namespace
