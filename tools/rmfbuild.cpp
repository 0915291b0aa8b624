// rmfbuild: builds a metafile (.rmf) from a TOML manifest and the files it names. The
// breakage options damage the result on purpose, to make the bad files that reader tests need.
#include "tools/metafile_writer/breakage.h"
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/manifest_reader.h"
#include "tools/metafile_writer/writer_error.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* helpText =
    R"(Usage: rmfbuild MANIFEST.toml -o OUT.rmf [options]

Builds a metafile from a TOML manifest and the CSV, text and NAACCR XML files it
names.

Options:
  -o, --output FILE            the metafile to write (required)
  --version TEXT               the four-character version text, instead of the
                               manifest's (default "4.00")
  -h, --help                   show this text

Breakage, to make bad metafiles for testing readers:
  --omit TABLE                 leave TABLE (e.g. _RE_EDSE.DBF) out of the directory;
                               may be given more than once
  --directory-signature BYTE   write BYTE (decimal, or hex as 0x03) in place of
                               the directory's signature 0xF5
  --crlf                       insert 0x0D before every 0x0A byte in the file
  --truncate N                 keep only the first N bytes of the file

Exit status is 0 on success and 1 on any error.
)";

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Invocation {
    bool help = false;
    std::filesystem::path manifest;
    std::filesystem::path output;
    std::optional<std::string> version;
    std::vector<std::string> omittedTables;
    vetra::writer::Breakage breakage;
};

template <class Number> Number parseNumber(std::string_view text, std::string_view option) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError(std::string(option) + " needs a number that fits, not \"" +
                         std::string(text) + "\"");
    return value;
}

class ArgumentReader {
public:
    ArgumentReader(int argc, char** argv) : arguments_(argv + 1, argv + argc) {}

    bool done() const { return next_ == arguments_.size(); }
    std::string_view take() { return arguments_[next_++]; }
    std::string_view valueOf(std::string_view option) {
        if (done()) throw UsageError(std::string(option) + " needs a value");
        return take();
    }

private:
    std::vector<std::string_view> arguments_;
    std::size_t next_ = 0;
};

void readOption(ArgumentReader& reader, std::string_view option, Invocation& invocation) {
    if (option == "-h" || option == "--help")
        invocation.help = true;
    else if (option == "-o" || option == "--output")
        invocation.output = reader.valueOf(option);
    else if (option == "--version")
        invocation.version = std::string(reader.valueOf(option));
    else if (option == "--omit")
        invocation.omittedTables.emplace_back(reader.valueOf(option));
    else if (option == "--directory-signature")
        invocation.breakage.directorySignature =
            parseNumber<std::uint8_t>(reader.valueOf(option), option);
    else if (option == "--crlf")
        invocation.breakage.crlfLineEnds = true;
    else if (option == "--truncate")
        invocation.breakage.truncateAt = parseNumber<std::size_t>(reader.valueOf(option), option);
    else
        throw UsageError("unknown option " + std::string(option));
}

Invocation readArguments(int argc, char** argv) {
    Invocation invocation;
    ArgumentReader reader(argc, argv);
    while (!reader.done()) {
        std::string_view argument = reader.take();
        if (argument.starts_with('-'))
            readOption(reader, argument, invocation);
        else if (invocation.manifest.empty())
            invocation.manifest = argument;
        else
            throw UsageError("more than one manifest given");
    }
    if (invocation.help) return invocation;
    if (invocation.manifest.empty()) throw UsageError("no manifest given");
    if (invocation.output.empty()) throw UsageError("no output file given (-o OUT.rmf)");
    return invocation;
}

void buildMetafile(const Invocation& invocation) {
    vetra::writer::MetafileBuilder builder = vetra::writer::readManifest(invocation.manifest);
    if (invocation.version) builder.options().version = *invocation.version;
    builder.options().omittedTables = invocation.omittedTables;
    vetra::writer::Bytes metafile = builder.build();
    vetra::writer::applyBreakage(metafile, invocation.breakage);
    vetra::writer::writeFileContents(invocation.output, metafile);
}

} // namespace

int main(int argc, char** argv) {
    Invocation invocation;
    try {
        invocation = readArguments(argc, argv);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "rmfbuild: %s\nTry 'rmfbuild --help'.\n", error.what());
        return 1;
    }
    if (invocation.help) {
        std::fputs(helpText, stdout);
        return 0;
    }
    try {
        buildMetafile(invocation);
    } catch (const vetra::writer::WriterError& error) {
        const std::filesystem::path& file =
            error.file().empty() ? invocation.manifest : error.file();
        std::fprintf(stderr, "rmfbuild: %s: %s\n", file.string().c_str(), error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "rmfbuild: %s: %s\n", invocation.manifest.string().c_str(),
                     error.what());
        return 1;
    }
    return 0;
}
