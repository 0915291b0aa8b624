// The engine binding: the real library loaded from its build path, ShowError's texts, the
// version text, and the listing of what a metafile offers.
#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "tests/desktop/run/run_fixture.h"

#include <gtest/gtest.h>

namespace {

using vetra::testing::RunTestEdit;
using vetra::testing::ScriptedMessageBoxes;
namespace desktop = vetra::desktop;

TEST(EngineBinding, ResolvesEveryEntryPointOfTheRealLibrary) {
    desktop::RAVengine engine(VETRA40_LIBRARY_PATH);
    ASSERT_TRUE(engine.loaded()) << engine.loadError();
    EXPECT_TRUE(engine.missingEntryPoints().empty());
    EXPECT_EQ(engine.versionText(), "VETRA40.dll version 4.0.1.8");
    EXPECT_EQ(engine.versionText(12), "VETRA40.dll version 4.0.1.8");
    EXPECT_EQ(engine.versionText(4), ""); // the engine refuses a buffer too small
}

TEST(EngineBinding, AMissingLibraryLeavesTheBindingUnloaded) {
    desktop::RAVengine engine("/nonexistent/libVETRA40.so");
    EXPECT_FALSE(engine.loaded());
    EXPECT_FALSE(engine.loadError().empty());
    EXPECT_EQ(engine.api().VTx_Init, nullptr);
    EXPECT_EQ(engine.versionText(), "");
}

TEST(ShowError, DescribesAnEngineCodeWithTheCatalogueAndTheCaller) {
    desktop::RAVengine engine(VETRA40_LIBRARY_PATH);
    ASSERT_TRUE(engine.loaded());
    std::int32_t count = 0;
    const std::int32_t status = engine.api().VTx_RunBatch(4711, 1, 0, &count, 0, nullptr);
    ASSERT_EQ(status, -2);
    ScriptedMessageBoxes messages;
    desktop::ShowError(engine, messages, status, "VTx_RunBatch", "Unit1", 42);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "ERROR -2 from API call VTx_RunBatch, engine function bad "
                                        "mfID \n at line 42 of Unit1 \n Invalid metafile mfID");
    EXPECT_EQ(messages.shown()[0].caption, "Internal Engine Error");
    EXPECT_EQ(desktop::engineErrorText(engine, 2025, "pVTx_GetEditInfo", "runedits", 7),
              "ERROR 2025 from API call pVTx_GetEditInfo, engine function call_check_flag \n at "
              "line 7 of runedits \n Parameter error");
}

TEST(ShowError, WithoutALabelTheEngineIsNotAsked) {
    desktop::RAVengine loaded(VETRA40_LIBRARY_PATH);
    EXPECT_EQ(desktop::engineErrorText(loaded, -2, nullptr, "initialize", 12),
              "ERROR (not from Vetra) at line 12 of \n initialize");
    // An engine that cannot be asked gives the same text without a label, and the fallback
    // with one.
    desktop::RAVengine missing("/nonexistent/libVETRA40.so");
    EXPECT_EQ(desktop::engineErrorText(missing, -2, nullptr, "initialize", 12),
              "ERROR (not from Vetra) at line 12 of \n initialize");
    const std::string fallback = desktop::engineErrorText(missing, -2, "VTx_Init", "Unit1", 99);
    EXPECT_EQ(fallback.rfind("ERROR getting Vetra results in ShowError(), line ", 0), 0u);
    EXPECT_NE(fallback.find(" of Ravengine.\nCall to ShowError() came from 99 of Unit1."),
              std::string::npos)
        << fallback;
}

TEST(ShowError, TheTextNeverExceedsFiveHundredTenCharacters) {
    desktop::RAVengine engine(VETRA40_LIBRARY_PATH);
    const std::string label(600, 'L');
    const std::string text = desktop::engineErrorText(engine, -2, label.c_str(), "Unit1", 1);
    EXPECT_EQ(text.size(), 510u);
    EXPECT_EQ(text.rfind("ERROR -2 from API call LLL", 0), 0u);
    EXPECT_EQ(desktop::engineErrorText(engine, -2, nullptr, label.c_str(), 1).size(), 510u);
}

class Listing : public vetra::testing::RunFixture {
protected:
    void SetUp() override {
        const std::vector<RunTestEdit> edits = {
            {"Sex Check", 100, {220}, "return fail;"},
            {"Pair", 101, {10, 485}, "return pass;"},
        };
        ASSERT_TRUE(session_.open(
            writeMetafile(edits, {{"Main", "", {"Sex Check", "Pair"}}, {"Other", "", {"Pair"}}})));
    }

    desktop::MetafileSession session_{engine_, messages_, ""};
};

TEST_F(Listing, NamesTheLayoutsFieldsEditSetsAndEdits) {
    desktop::MetafileListing listing(engine_, messages_, session_.mfID());
    const desktop::LayoutListing layouts = listing.layouts();
    EXPECT_EQ(layouts.names, std::vector<std::string>{"Test"});
    EXPECT_EQ(layouts.recordLengths, std::vector<int>{98});
    EXPECT_EQ(layouts.largestRecordLength, 98);

    const desktop::LayoutFields fields = listing.layoutFields("Test", 98);
    EXPECT_EQ(fields.recordLength, 98);
    std::vector<std::string> described;
    for (const desktop::fld_desc& field : fields.fields)
        described.push_back(field.name + " " + std::to_string(field.startColumn) + " " +
                            std::to_string(field.length) + " " + std::to_string(field.itemNumber));
    EXPECT_EQ(described,
              (std::vector<std::string>{"Code 1 2 10", "Registry 3 1 485", "Sex 4 1 220",
                                        "Date 5 8 390", "Site 13 4 400", "Name 17 80 2230",
                                        "Over-ride Site 97 1 1990", "Extra 98 1 1991"}));

    EXPECT_EQ(listing.editSets(), (std::vector<std::string>{"Main", "Other"}));
    EXPECT_EQ(listing.editNames({"Main", "Other"}),
              (std::vector<std::string>{"Sex Check", "Pair", "Pair"}));
    EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(Listing, AFailedCallIsReportedAndTheListingGoesOn) {
    desktop::MetafileListing listing(engine_, messages_, session_.mfID());
    EXPECT_EQ(listing.editNames({"Missing", "Other"}), std::vector<std::string>{"Pair"});
    EXPECT_TRUE(listing.layoutFields("Missing", 98).fields.empty());
    ASSERT_EQ(captionsShown().size(), 3u);
    for (const auto& [label, shown] : {std::pair{"VTx_LoadEditSet", 0},
                                       {"VTx_InitRecordLayout", 1},
                                       {"VTx_GetRecordLayoutInit", 2}}) {
        const std::string& text = messages_.shown()[static_cast<std::size_t>(shown)].text;
        EXPECT_NE(text.find(std::string("from API call ") + label + ","), std::string::npos)
            << text;
        EXPECT_NE(text.find(" of initialize \n "), std::string::npos) << text;
    }
}

} // namespace
