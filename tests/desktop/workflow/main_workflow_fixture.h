// The main window's workflow driven as the window drives it, against the real engine library:
// a program folder of its own holding the master file "ravelo.ini", the configuration files
// and the metafiles, written as a user and the project's writer would write them.
//
// "first.rmf" has the layouts "Test" (the run fixture's eight fields) and "Wide" (Code, Sex,
// Site and six one-character fields Alpha to Zeta: nine fields, no Registry), and the edit
// sets "Main" (Sex Check, Code Check) and "Extra" (Site Check, Code Check). Sex Check fails
// for Sex "F".
// "second.rmf" has one layout "Test" of Code, Sex and Site only, and the edit sets "Main"
// (Sex Check, Other Check) and "Second" (Other Check).
#pragma once

#include "desktop/run/engine_binding.h"
#include "desktop/run/run_progress.h"
#include "desktop/workflow/main_workflow.h"
#include "tests/desktop/scripted_message_boxes.h"
#include "tests/support/scratch_directory.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vetra::testing {

// The configuration "runtime.ini" that start-up loads unless a test writes another.
inline constexpr char kStartConfiguration[] = R"([Layout]
Version=7
[Metafiles]
Metafile=first.rmf
SkipEmpty=1
SkipFailed=0
SuppressWarnings=0
[RecordLayouts]
RecordLayout1=Test
[EditSets]
EditSet1=Main
EditSet2=Extra
[EditOptions]
Sex Check=8
Site Check=3
Code Check=0
[FieldsSelected]
Field1=Sex
Field2=Code
Field3=Registry
[FieldsSort]
Field1=Sex
Field2=Registry
Field3=Name
)";

// Names the window shows, in a fixed order for comparing.
std::vector<std::string> sorted(std::vector<std::string> names);

// A grid row as its marked columns 1 to 5, e.g. "01000" for "Suppress Edit" only.
std::string marks(const desktop::EditOptionRow& row);

class MainWorkflowFixture : public ::testing::Test {
protected:
    MainWorkflowFixture();

    // The program folder, ending with '/'; the metafile and configuration folders too.
    const std::string& folder() const { return folder_; }
    std::string path(const std::string& name) const { return folder_ + name; }

    void writeFirstMetafile();
    void writeSecondMetafile();
    // The master file naming the program folder for metafiles and configurations, then `more`.
    void writeMaster(const std::string& more = "");
    std::string writeConfiguration(const std::string& name, const std::string& text);
    // `count` records of the layout "Test", each ending in a line feed; every third has Sex
    // "F", starting with the first.
    std::string writeDataFile(const std::string& name, int count);

    // The usual installation: both metafiles, the master file and kStartConfiguration.
    void writeInstallation();
    // A workflow on the program folder, started; a failed start fails the test.
    std::unique_ptr<desktop::MainWorkflow> started();

    std::string fileText(const std::string& name) const;
    std::vector<std::string> captionsShown() const;

    ScratchDirectory scratch_;
    std::string folder_;
    desktop::RAVengine engine_;
    ScriptedMessageBoxes messages_;
};

// A run's progress that presses Halt while the window handles its events after the given
// record.
class HaltingProgress : public desktop::RunProgress {
public:
    HaltingProgress(desktop::MainWorkflow& workflow, std::int64_t haltAfter)
        : workflow_(workflow), haltAfter_(haltAfter) {}

    void start(std::int64_t) override {}
    void advance(std::int64_t) override {}
    void showCounters(std::int64_t shownRecord, const desktop::RunCounters&) override {
        shownRecord_ = shownRecord;
    }
    void processPendingEvents() override {
        sawRunInProgress_ = sawRunInProgress_ || workflow_.runInProgress();
        if (shownRecord_ >= haltAfter_) workflow_.haltRequest();
    }

    bool sawRunInProgress() const { return sawRunInProgress_; }

private:
    desktop::MainWorkflow& workflow_;
    std::int64_t haltAfter_;
    std::int64_t shownRecord_ = 0;
    bool sawRunInProgress_ = false;
};

} // namespace vetra::testing
