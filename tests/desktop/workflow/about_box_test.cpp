// The About box's texts and the versions it gathers (the staging library's text is cut at 15
// characters, a missing library or function leaves it empty), and what ends start-up.
#include "desktop/data/file_information_binding.h"
#include "desktop/run/engine_binding.h"
#include "desktop/workflow/about_box.h"
#include "desktop/workflow/help_topics.h"
#include "desktop/workflow/program_version.h"
#include "desktop/workflow/staging_library.h"
#include "desktop/workflow/startup_checks.h"
#include "platform/dynamic_library.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>

namespace {

using namespace vetra::desktop;

TEST(AboutBox, CaptionAndTextNameEveryVersion) {
    EXPECT_EQ(aboutCaption(),
              std::string("Ravelo version 1.2.8 (") + kBuildDate + " " + kBuildTime + ")");
    const std::string text = aboutText({"4.0.1.8", "1.0.0, NAACCR", "", "3.40.1"});
    const std::string uses = "\n\nRavelo is using:\n\n   libVETRA40.so version 4.0.1.8\n"
                             "   libkznaaccr.so version 1.0.0, NAACCR\n"
                             "   SQLite version 3.40.1";
    ASSERT_GE(text.size(), uses.size());
    EXPECT_EQ(text.substr(text.size() - uses.size()), uses);
    // Three lines naming who stands behind the program, separated by blank lines.
    const std::string head = text.substr(0, text.size() - uses.size());
    EXPECT_EQ(std::count(head.begin(), head.end(), '\n'), 4);
    EXPECT_EQ(head.find("\n\n\n"), std::string::npos);

    // A library that gave no version says it is not loaded; the optional staging library has
    // a line only when it is there.
    const std::string other = aboutText({"", "1.0.0, NAACCR", "02.05.0001", "3.40.1"});
    EXPECT_NE(other.find("\n   libVETRA40.so: not loaded\n"), std::string::npos) << other;
    EXPECT_NE(other.find("\n   libtollan0205.so version 02.05.0001\n"), std::string::npos);
    EXPECT_EQ(other.find(".dll"), std::string::npos);
}

TEST(AboutBox, StagingVersionIsCutAt15CharactersOrEmpty) {
    EXPECT_EQ(stagingLibraryVersion(TOLLAN_PROBE), "02.05.0001 stag");
    EXPECT_EQ(stagingLibraryVersion("/nonexistent/libtollan0205.so"), "");
    EXPECT_EQ(stagingLibraryVersion("libm.so.6"), ""); // loads, but lacks the function
}

TEST(StartupChecks, AMissingEngineIsNamedBeforeAMissingFileInformationLibrary) {
    const RAVengine missingEngine("/nonexistent/libVETRA40.so");
    const RAVfilecheck missingFileInformation("/nonexistent/libkznaaccr.so");
    EXPECT_EQ(missingLibraryText(missingEngine.loaded(), missingFileInformation.loaded()),
              "Can't load Vetra");
    EXPECT_EQ(missingLibraryText(true, missingFileInformation.loaded()), "Can't load kznaaccr.dll");
    EXPECT_EQ(missingLibraryText(true, true), std::nullopt);
}

TEST(HelpTopics, EachTabHasItsContextAndPage) {
    EXPECT_EQ(helpContextOfTab(0), 10);
    EXPECT_EQ(helpContextOfTab(4), 50);
    vetra::testing::ScratchDirectory folder;
    const std::string program = folder.path().string() + "/";
    std::filesystem::create_directories(folder.path() / "help");
    folder.write("help/context-20.html", "<p>Report Configuration</p>");
    EXPECT_EQ(helpTopicPath(program, 20), program + "help/context-20.html");
    EXPECT_EQ(helpTopicPath(program, 30), program + "help/index.html");
    EXPECT_EQ(helpMissingText("/x/help/index.html"), "Help file not found\n/x/help/index.html");
}

} // namespace
