#include "tools/metafile_writer/manifest_edits.h"

#include "tools/edit_compiler/compile_error.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <stdexcept>

namespace vetra::writer {

namespace {

const toml::array& requireArrayOfTables(const Manifest& manifest, const toml::node& node,
                                        const char* section) {
    if (!node.is_array_of_tables())
        fail(manifest, node,
             std::string(section) + " must be given as [[" + section + "]] sections");
    return *node.as_array();
}

void readEdit(const Manifest& manifest, const toml::table& entry) {
    requireKnownKeys(manifest, entry, {"name", "source", "message", "description", "help"},
                     "an edit");
    EditDefinition edit;
    edit.name = requireString(manifest, entry, "name");
    auto message = optionalCount(manifest, entry, "message");
    if (!message) fail(manifest, entry, "missing message");
    edit.messageNumber = *message;
    edit.description = optionalString(manifest, entry, "description").value_or("");
    edit.help = optionalString(manifest, entry, "help").value_or("");
    std::filesystem::path source = sourcePath(manifest, entry, "source");
    compiler::FieldResolver fields = [&](std::string_view name) -> std::optional<int32_t> {
        if (auto number = manifest.builder.localNumberOf(name))
            return static_cast<int32_t>(*number);
        return std::nullopt;
    };
    try {
        compiler::CompiledEdit compiled =
            compiler::compileEdit(readFileContents(source), fields, source.string());
        edit.logic = std::move(compiled.logic);
        edit.fields.assign(compiled.fields.begin(), compiled.fields.end());
    } catch (const compiler::CompileError& error) {
        throw WriterError(source, error.what());
    }
    attributeErrors(manifest, entry, [&] { manifest.builder.addEdit(std::move(edit)); });
}

} // namespace

void readMessagesSection(const Manifest& manifest, const toml::node& node) {
    const toml::table& section = requireTable(manifest, node, "[messages]");
    requireKnownKeys(manifest, section, {"source"}, "[messages]");
    std::filesystem::path source = sourcePath(manifest, section, "source");
    std::vector<CsvRecord> records = parseCsv(readFileContents(source));
    if (records.empty()) throw WriterError(source, "the file has no header");
    const auto& header = records.front().fields;
    auto column = [&](const char* name) {
        auto found = std::find(header.begin(), header.end(), name);
        if (found == header.end())
            throw WriterError(source, std::string("the header has no column ") + name);
        return static_cast<size_t>(found - header.begin());
    };
    size_t number = column("number"), text = column("text");
    for (size_t i = 1; i < records.size(); ++i) {
        const auto& fields = records[i].fields;
        try {
            manifest.builder.addMessage(std::stoi(fields.at(number)), fields.at(text));
        } catch (const std::logic_error&) {
            throw WriterError(source, "line " + std::to_string(i + 1) +
                                          ": a message needs a number and a text");
        }
    }
}

void readEditSections(const Manifest& manifest, const toml::node& node) {
    for (const toml::node& entry : requireArrayOfTables(manifest, node, "edit"))
        readEdit(manifest, requireTable(manifest, entry, "an [[edit]] entry"));
}

void readEditSetSections(const Manifest& manifest, const toml::node& node) {
    for (const toml::node& item : requireArrayOfTables(manifest, node, "edit_set")) {
        const toml::table& entry = requireTable(manifest, item, "an [[edit_set]] entry");
        requireKnownKeys(manifest, entry, {"name", "description", "edits"}, "an edit set");
        EditSetDefinition set;
        set.name = requireString(manifest, entry, "name");
        set.description = optionalString(manifest, entry, "description").value_or("");
        const toml::array* edits = entry["edits"].as_array();
        if (edits == nullptr) fail(manifest, entry, "an edit set needs edits = [...]");
        for (const toml::node& edit : *edits) {
            if (!edit.is_string()) fail(manifest, edit, "edit names must be strings");
            set.members.push_back(edit.as_string()->get());
        }
        manifest.builder.addEditSet(std::move(set));
    }
}

} // namespace vetra::writer
