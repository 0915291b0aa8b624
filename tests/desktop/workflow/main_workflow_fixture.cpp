#include "tests/desktop/workflow/main_workflow_fixture.h"

#include "tests/desktop/run/run_fixture.h"
#include "tests/support/compiled_edits.h"
#include "tests/support/dictionary_item.h"
#include "tests/support/file_contents.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vetra::testing {

namespace {

const char kSexCheck[] = R"(if (strcmp(#S"Sex", "F") == 0) return fail; return pass;)";

void writeMetafileBytes(const ScratchDirectory& scratch, const std::string& name,
                        const writer::MetafileBuilder& builder) {
    const writer::Bytes bytes = builder.build();
    scratch.write(name, std::string(bytes.begin(), bytes.end()));
}

} // namespace

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::string marks(const desktop::EditOptionRow& row) {
    std::string text;
    for (int column = desktop::kUseEditSetOptions; column <= desktop::kNoSkips; ++column)
        text += row.marked[static_cast<std::size_t>(column)] ? '1' : '0';
    return text;
}

MainWorkflowFixture::MainWorkflowFixture()
    : folder_(scratch_.path().string() + "/"), engine_(VETRA40_LIBRARY_PATH) {}

void MainWorkflowFixture::writeFirstMetafile() {
    writer::MetafileBuilder builder = runTestMetafile(
        {{"Sex Check", 100, {220}, kSexCheck},
         {"Code Check", 101, {10, 485}, "return pass;"},
         {"Site Check", 102, {400}, "return pass;"}},
        {{"Main", "", {"Sex Check", "Code Check"}}, {"Extra", "", {"Site Check", "Code Check"}}});
    const char* extraNames[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"};
    writer::RecordLayout wide{
        2, "Wide", "", {{10, "C", 1, 2, ' '}, {220, "C", 3, 1, ' '}, {400, "C", 4, 4, ' '}}};
    for (int i = 0; i < 6; ++i) {
        builder.addDictionaryEntry(dictionaryItem(501 + i, extraNames[i], "C", 1));
        wide.fields.push_back({501 + i, "C", 8 + i, 1, ' '});
    }
    builder.addLayout(wide);
    writeMetafileBytes(scratch_, "first.rmf", builder);
}

void MainWorkflowFixture::writeSecondMetafile() {
    writer::MetafileBuilder builder;
    builder.addDictionaryEntry(dictionaryItem(10, "Code", "C", 2));
    builder.addDictionaryEntry(dictionaryItem(220, "Sex", "C", 1));
    builder.addDictionaryEntry(dictionaryItem(400, "Site", "C", 4));
    builder.addLayout(writer::RecordLayout{
        1, "Test", "", {{10, "C", 1, 2, ' '}, {220, "C", 3, 1, ' '}, {400, "C", 4, 4, ' '}}});
    builder.addMessage(100, "Sex %V1 at %C1 is wrong in %E");
    addCompiledEdits(builder,
                     std::vector<RunTestEdit>{{"Sex Check", 100, {220}, kSexCheck},
                                              {"Other Check", 100, {400}, "return pass;"}},
                     {{"Main", "", {"Sex Check", "Other Check"}}, {"Second", "", {"Other Check"}}});
    writeMetafileBytes(scratch_, "second.rmf", builder);
}

void MainWorkflowFixture::writeMaster(const std::string& more) {
    scratch_.write("ravelo.ini",
                   "[Path]\nMetafile=" + folder_ + "\nConfig=" + folder_ + "\n" + more);
}

std::string MainWorkflowFixture::writeConfiguration(const std::string& name,
                                                    const std::string& text) {
    return scratch_.write(name, text).string();
}

std::string MainWorkflowFixture::writeDataFile(const std::string& name, int count) {
    std::string contents;
    for (int i = 0; i < count; ++i)
        contents += testRecord(std::to_string(10 + i % 90), "1", i % 3 == 0 ? "F" : "M") + "\n";
    return scratch_.write(name, contents).string();
}

void MainWorkflowFixture::writeInstallation() {
    writeFirstMetafile();
    writeSecondMetafile();
    writeMaster();
    writeConfiguration("runtime.ini", kStartConfiguration);
}

std::unique_ptr<desktop::MainWorkflow> MainWorkflowFixture::started() {
    auto workflow = std::make_unique<desktop::MainWorkflow>(
        engine_, messages_, platform::ProgramFolders{folder_, folder_, folder_});
    EXPECT_TRUE(workflow->start());
    return workflow;
}

std::string MainWorkflowFixture::fileText(const std::string& name) const {
    return fileContents(path(name));
}

std::vector<std::string> MainWorkflowFixture::captionsShown() const {
    std::vector<std::string> captions;
    for (const auto& box : messages_.shown())
        captions.push_back(box.caption);
    return captions;
}

} // namespace vetra::testing
