#include "tools/metafile_writer/table_name.h"

#include "tools/metafile_writer/writer_error.h"

#include <algorithm>

namespace vetra::writer {

namespace {

char toUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isPrintableWithoutSpace(char c) {
    return c > ' ' && c < 0x7F;
}

} // namespace

std::string upperCaseAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = toUpper(c);
    return upper;
}

void validateTableName(std::string_view name) {
    if (name.empty()) throw WriterError("a table needs a name");
    if (name.size() > maxTableNameLength)
        throw WriterError("table name \"" + std::string(name) + "\" is longer than " +
                          std::to_string(maxTableNameLength) + " characters");
    if (!std::all_of(name.begin(), name.end(), isPrintableWithoutSpace))
        throw WriterError("table name \"" + std::string(name) +
                          "\" may hold only printable ASCII characters without spaces");
}

bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           sameTableName(name.substr(name.size() - extension.size()), extension);
}

bool sameTableName(std::string_view left, std::string_view right) {
    return upperCaseAscii(left) == upperCaseAscii(right);
}

} // namespace vetra::writer
