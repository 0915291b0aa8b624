// Every edit the project holds, compiled, rendered by the engine and compiled again, must give
// the same compiled bytes: the rendering is a source the compiler reads back.
#include "engine/interp/logic_renderer.h"
#include "tools/edit_compiler/compile_error.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/file_contents.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct Dictionary : vetra::FieldNameSource {
    std::map<std::string, int32_t> byName; // upper-case short name
    std::map<int32_t, std::string> byNumber;

    std::string shortName(int32_t localNumber) override { return byNumber[localNumber]; }
    vetra::compiler::FieldResolver resolver() {
        return [this](std::string_view name) -> std::optional<int32_t> {
            auto found = byName.find(upper(std::string(name)));
            if (found == byName.end()) return std::nullopt;
            return found->second;
        };
    }
};

Dictionary readDictionary(const fs::path& file) {
    Dictionary dictionary;
    auto records = vetra::writer::parseCsv(vetra::writer::readFileContents(file));
    const auto& header = records.front().fields;
    size_t local = std::find(header.begin(), header.end(), "local") - header.begin();
    size_t name = std::find(header.begin(), header.end(), "short_name") - header.begin();
    for (size_t i = 1; i < records.size(); ++i) {
        int32_t number = std::stoi(records[i].fields[local]);
        dictionary.byName[upper(records[i].fields[name])] = number;
        dictionary.byNumber[number] = records[i].fields[name];
    }
    return dictionary;
}

struct EditFolder {
    fs::path edits;
    fs::path dictionary;
};

std::vector<EditFolder> editFolders() {
    fs::path root = PROJECT_SOURCE_DIR;
    return {{root / "tests/data/compiler", root / "tests/data/compiler/dictionary.csv"},
            {root / "tests/data/round_trip", root / "tests/data/round_trip/dictionary.csv"},
            {root / "samples/naaccr18/edits", root / "samples/naaccr18/dictionary.csv"}};
}

TEST(EditRoundTrip, RenderingCompilesBackToTheSameBytes) {
    int checked = 0;
    for (const EditFolder& folder : editFolders()) {
        if (!fs::exists(folder.edits) || !fs::exists(folder.dictionary)) continue;
        Dictionary dictionary = readDictionary(folder.dictionary);
        for (const auto& file : fs::directory_iterator(folder.edits)) {
            if (file.path().extension() != ".edit") continue;
            std::string source = vetra::writer::readFileContents(file.path());
            // The rendering writes string literals between plain quotes, so a string that holds
            // a quote itself cannot be read back from it.
            if (source.find("\\\"") != std::string::npos) continue;
            auto compiled =
                vetra::compiler::compileEdit(source, dictionary.resolver(), file.path().string());
            std::optional<std::string> rendered =
                vetra::renderLogic(compiled.logic, "\n", dictionary);
            ASSERT_TRUE(rendered) << file.path();
            auto again = vetra::compiler::compileEdit(*rendered, dictionary.resolver(), "rendered");
            EXPECT_EQ(again.logic, compiled.logic) << file.path() << "\n" << *rendered;
            EXPECT_EQ(again.fields, compiled.fields) << file.path();
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
