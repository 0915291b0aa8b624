// editc: compiles one edit source, so that an author can check it before it goes into a
// metafile. Field names are resolved through a dictionary CSV like the writer's.
#include "tools/edit_compiler/compile_error.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/csv_reader.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include "engine/interp/logic_renderer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* helpText =
    R"(Usage: editc EDIT.edit [--dictionary DICTIONARY.csv] [-o OUT]

Compiles an edit source into the logic a metafile stores, and prints the local
numbers of the fields the edit refers to ("fields: 390 400").

Options:
  -d, --dictionary FILE  the data dictionary: a CSV whose header names at least
                         the columns local and short_name; #S"Name" references
                         are resolved through it, without regard to case
  -o, --output FILE      write the compiled logic to FILE; without it the logic
                         is printed before the field list
  -h, --help             show this text

Errors are reported as FILE:LINE:COLUMN: message. Exit status is 0 on success
and 1 on any error.
)";

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Invocation {
    bool help = false;
    std::filesystem::path edit;
    std::filesystem::path dictionary;
    std::filesystem::path output;
};

Invocation readArguments(int argc, char** argv) {
    Invocation invocation;
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        auto value = [&]() {
            if (i + 1 == arguments.size())
                throw UsageError(std::string(argument) + " needs a value");
            return std::filesystem::path(arguments[++i]);
        };
        if (argument == "-h" || argument == "--help")
            invocation.help = true;
        else if (argument == "-d" || argument == "--dictionary")
            invocation.dictionary = value();
        else if (argument == "-o" || argument == "--output")
            invocation.output = value();
        else if (argument.starts_with('-'))
            throw UsageError("unknown option " + std::string(argument));
        else if (invocation.edit.empty())
            invocation.edit = argument;
        else
            throw UsageError("more than one edit given");
    }
    if (!invocation.help && invocation.edit.empty()) throw UsageError("no edit given");
    return invocation;
}

using ShortNames = std::map<std::string, std::int32_t>; // keyed by the upper-case name

std::size_t headerColumn(const std::vector<std::string>& header, std::string_view name) {
    auto found = std::find_if(header.begin(), header.end(), [&](const std::string& column) {
        return vetra::writer::upperCaseAscii(column) == vetra::writer::upperCaseAscii(name);
    });
    if (found == header.end())
        throw vetra::writer::WriterError("line 1: the header does not name column " +
                                         std::string(name));
    return static_cast<std::size_t>(found - header.begin());
}

void addShortName(ShortNames& names, const vetra::writer::CsvRecord& record, std::size_t local,
                  std::size_t shortName) {
    std::string line = "line " + std::to_string(record.line) + ": ";
    if (std::max(local, shortName) >= record.fields.size())
        throw vetra::writer::WriterError(line + "fewer fields than the header names");
    const std::string& text = record.fields[local];
    std::int32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw vetra::writer::WriterError(line + "local \"" + text + "\" is not a number that fits");
    if (!names.emplace(vetra::writer::upperCaseAscii(record.fields[shortName]), number).second)
        throw vetra::writer::WriterError(line + "short name \"" + record.fields[shortName] +
                                         "\" is given twice");
}

ShortNames readShortNames(const std::filesystem::path& dictionary) {
    ShortNames names;
    if (dictionary.empty()) return names;
    try {
        std::vector<vetra::writer::CsvRecord> records =
            vetra::writer::parseCsv(vetra::writer::readFileContents(dictionary));
        if (records.empty()) throw vetra::writer::WriterError("the file has no header");
        std::size_t local = headerColumn(records.front().fields, "local");
        std::size_t shortName = headerColumn(records.front().fields, "short_name");
        for (auto record = records.begin() + 1; record != records.end(); ++record)
            addShortName(names, *record, local, shortName);
    } catch (const vetra::writer::WriterError& error) {
        throw vetra::writer::WriterError(dictionary, error.what());
    }
    return names;
}

std::string fieldList(const std::vector<std::int32_t>& fields) {
    std::string list = "fields:";
    for (std::int32_t field : fields)
        list += " " + std::to_string(field);
    return list + "\n";
}

// The engine's readable rendering of the compiled logic, so that an author sees what the
// engine will show; fields are named by their short names from the dictionary.
class DictionaryNames : public vetra::FieldNameSource {
public:
    explicit DictionaryNames(const ShortNames& names) : names_(names) {}
    std::string shortName(std::int32_t localNumber) override {
        for (const auto& [name, number] : names_)
            if (number == localNumber) return name;
        return std::to_string(localNumber);
    }

private:
    const ShortNames& names_;
};

std::string rendering(const std::string& logic, const ShortNames& names) {
    DictionaryNames fieldNames(names);
    std::optional<std::string> text = vetra::renderLogic(logic, "\n", fieldNames);
    return "rendering:\n" + text.value_or("(the compiled logic does not render)\n");
}

void compile(const Invocation& invocation) {
    ShortNames names = readShortNames(invocation.dictionary);
    vetra::compiler::FieldResolver resolve =
        [&](std::string_view shortName) -> std::optional<std::int32_t> {
        auto found = names.find(vetra::writer::upperCaseAscii(shortName));
        if (found == names.end()) return std::nullopt;
        return found->second;
    };
    std::string source = vetra::writer::readFileContents(invocation.edit);
    vetra::compiler::CompiledEdit compiled =
        vetra::compiler::compileEdit(source, resolve, invocation.edit.string());
    if (invocation.output.empty()) {
        std::fwrite(compiled.logic.data(), 1, compiled.logic.size(), stdout);
        std::fputc('\n', stdout);
    } else {
        vetra::writer::writeFileContents(
            invocation.output, vetra::writer::Bytes(compiled.logic.begin(), compiled.logic.end()));
    }
    std::fputs(fieldList(compiled.fields).c_str(), stdout);
    std::fputs(rendering(compiled.logic, names).c_str(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    Invocation invocation;
    try {
        invocation = readArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "editc: %s\nTry 'editc --help'.\n", error.what());
        return 1;
    }
    if (invocation.help) {
        std::fputs(helpText, stdout);
        return 0;
    }
    try {
        compile(invocation);
    } catch (const vetra::compiler::CompileError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    } catch (const vetra::writer::WriterError& error) {
        std::fprintf(stderr, "editc: %s: %s\n", error.file().string().c_str(), error.what());
        return 1;
    }
    return 0;
}
