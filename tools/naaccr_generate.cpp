// naaccr_generate: writes synthetic NAACCR version 18 incidence records for the sample
// metafile of samples/naaccr18, with a share of deliberate faults for its edits to find, as
// fixed-width lines or a NAACCR XML document, either plain or gzipped. No record describes a
// real patient.
#include "platform/file_services.h"
#include "platform/program_folders.h"
#include "tools/naaccr_generator/generator_error.h"
#include "tools/naaccr_generator/gzip_output.h"
#include "tools/naaccr_generator/incidence_generator.h"
#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/incidence_xml.h"
#include "tools/naaccr_generator/xml_items.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* helpText =
    R"(Usage: naaccr_generate --records N --seed S [--fault-rate R] [--layout FILE]
                      [--format fixed|xml] [--xml-items FILE] [--gzip] [-o FILE]

Writes N synthetic NAACCR version 18 incidence records, 4048 characters and a
line feed each, with plausible and consistent values for the items of the
layout. With probability R a record gets one or more deliberate faults that the
edits of samples/naaccr18 catch. The same seed gives the same records.

With --format xml the records are written as one NAACCR XML document instead:
each record a Patient with one Tumor, each item at the level the NAACCR 18
dictionary gives it, blank items left out. Read back by the layout, the
document gives the same records as the fixed-width lines.

Options:
  -n, --records N      how many records to write
  -s, --seed S         the seed of the random draws, 0 to 18446744073709551615
  -f, --fault-rate R   the share of faulty records, 0 to 1 (default 0.05)
  -l, --layout FILE    the layout CSV to place the items by (default: the
                       installed share/ravelo/samples/naaccr18-layout.csv, or
                       samples/naaccr18/layout.csv from the repository root)
      --format F       fixed (the default) or xml
      --xml-items FILE the CSV of each item's naaccrId and level for xml
                       (default xml_items.csv beside the layout)
  -z, --gzip           compress the output with gzip
  -o, --output FILE    write to FILE instead of standard output
  -h, --help           show this text

Exit status is 0 on success and 1 on any error.
)";

enum class Format { Fixed, Xml };

// An installed copy has the sample's layout in its share folder; a copy in the build tree is
// run from the repository root.
std::filesystem::path defaultLayout() {
    const auto share = vetra::platform::installedShareFolder(vetra::platform::executableFolder());
    if (share) return *share + "samples/naaccr18-layout.csv";
    return "samples/naaccr18/layout.csv";
}

struct Invocation {
    bool help = false;
    Format format = Format::Fixed;
    bool gzip = false;
    std::filesystem::path xmlItems;
    std::optional<long> records;
    std::optional<std::uint64_t> seed;
    double faultRate = 0.05;
    std::filesystem::path layout = defaultLayout();
    std::filesystem::path output;
};

template <class Number> Number numberArgument(std::string_view option, std::string_view text) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw vetra::generator::GeneratorError(std::string(option) + " needs a number, not \"" +
                                               std::string(text) + "\"");
    return value;
}

Format formatArgument(const std::string& text) {
    if (text == "fixed") return Format::Fixed;
    if (text == "xml") return Format::Xml;
    throw vetra::generator::GeneratorError("--format is fixed or xml, not \"" + text + "\"");
}

Invocation readArguments(int argc, char** argv) {
    Invocation invocation;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 == arguments.size())
                throw vetra::generator::GeneratorError(option + " needs a value");
            return arguments[++i];
        };
        if (option == "-h" || option == "--help")
            invocation.help = true;
        else if (option == "-n" || option == "--records")
            invocation.records = numberArgument<long>(option, value());
        else if (option == "-s" || option == "--seed")
            invocation.seed = numberArgument<std::uint64_t>(option, value());
        else if (option == "-f" || option == "--fault-rate")
            invocation.faultRate = numberArgument<double>(option, value());
        else if (option == "-l" || option == "--layout")
            invocation.layout = value();
        else if (option == "-o" || option == "--output")
            invocation.output = value();
        else if (option == "--format")
            invocation.format = formatArgument(value());
        else if (option == "--xml-items")
            invocation.xmlItems = value();
        else if (option == "-z" || option == "--gzip")
            invocation.gzip = true;
        else
            throw vetra::generator::GeneratorError("unknown argument " + option);
    }
    if (invocation.help) return invocation;
    if (!invocation.records) throw vetra::generator::GeneratorError("--records is required");
    if (*invocation.records < 0)
        throw vetra::generator::GeneratorError("--records cannot be negative");
    if (!invocation.seed) throw vetra::generator::GeneratorError("--seed is required");
    return invocation;
}

// A copy in the build tree finds the default layout from the repository root; say so rather
// than only that a file is missing.
vetra::generator::IncidenceLayout readLayout(const std::filesystem::path& file) {
    if (!std::filesystem::exists(file))
        throw vetra::generator::GeneratorError(
            "no layout at " + file.string() +
            "; run from the repository root or give the layout CSV with --layout FILE");
    return vetra::generator::readIncidenceLayout(file);
}

// Read before the output is created, so that a bad file leaves no half-written output.
std::optional<vetra::generator::XmlItems> readXmlItems(const Invocation& invocation) {
    if (invocation.format != Format::Xml) return std::nullopt;
    std::filesystem::path file = invocation.xmlItems;
    if (file.empty()) file = invocation.layout.parent_path() / "xml_items.csv";
    if (!std::filesystem::exists(file))
        throw vetra::generator::GeneratorError("no XML items at " + file.string() +
                                               "; give their CSV with --xml-items FILE");
    return vetra::generator::readXmlItems(file);
}

struct Generation {
    vetra::generator::IncidenceLayout layout;
    std::optional<vetra::generator::XmlItems> xmlItems;
    long records = 0;
};

void writeRecords(std::ostream& out, const Generation& generation,
                  vetra::generator::IncidenceGenerator& generator) {
    if (generation.xmlItems)
        vetra::generator::writeIncidenceXml(out, generator, generation.records, generation.layout,
                                            *generation.xmlItems);
    else
        vetra::generator::writeIncidenceRecords(out, generator, generation.records);
}

void generate(const Invocation& invocation) {
    const Generation generation{readLayout(invocation.layout), readXmlItems(invocation),
                                *invocation.records};
    vetra::generator::IncidenceGenerator generator(generation.layout, *invocation.seed,
                                                   invocation.faultRate);
    if (invocation.gzip) {
        vetra::generator::GzipOutput compressed(invocation.output);
        std::ostream out(&compressed);
        writeRecords(out, generation, generator);
        compressed.close();
        return;
    }
    if (invocation.output.empty()) {
        std::ios::sync_with_stdio(false); // the records are large; let cout buffer them
        writeRecords(std::cout, generation, generator);
        std::cout.flush();
        if (!std::cout) throw vetra::generator::GeneratorError("writing standard output failed");
        return;
    }
    std::ofstream out(invocation.output, std::ios::binary);
    if (!out) throw vetra::generator::GeneratorError("cannot create " + invocation.output.string());
    writeRecords(out, generation, generator);
    out.close();
    if (!out)
        throw vetra::generator::GeneratorError("writing " + invocation.output.string() + " failed");
}

} // namespace

int main(int argc, char** argv) {
    Invocation invocation;
    try {
        invocation = readArguments(argc, argv);
    } catch (const vetra::generator::GeneratorError& error) {
        std::fprintf(stderr, "naaccr_generate: %s\nTry 'naaccr_generate --help'.\n", error.what());
        return 1;
    }
    if (invocation.help) {
        std::fputs(helpText, stdout);
        return 0;
    }
    try {
        generate(invocation);
    } catch (const vetra::generator::GeneratorError& error) {
        std::fprintf(stderr, "naaccr_generate: %s\n", error.what());
        return 1;
    }
    return 0;
}
