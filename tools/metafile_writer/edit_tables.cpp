#include "edit_tables.h"

#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <cstdio>

namespace vetra::writer {

namespace {

constexpr size_t kNameWidth = 50;
constexpr size_t kMaxFields = 99;

std::string rightAligned(long value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%*ld", width, value);
    std::string result(text);
    if (result.size() > static_cast<size_t>(width))
        throw WriterError("the number " + result + " does not fit in " + std::to_string(width) +
                          " characters");
    return result;
}

std::string padded(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string littleEndianList(const std::vector<long>& values) {
    std::string bytes;
    for (long value : values)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((static_cast<unsigned long>(value) >> shift) & 0xFF));
    return bytes;
}

void checkName(const std::string& name, const char* what) {
    if (name.empty() || name.size() > kNameWidth)
        throw WriterError(std::string(what) + " name \"" + name +
                          "\" must have 1 to 50 characters");
}

std::string componentChunk(const EditDefinition& edit) {
    std::string chunk = rightAligned(static_cast<long>(edit.name.size()), 2) + edit.name +
                        rightAligned(edit.messageNumber, 4) +
                        rightAligned(static_cast<long>(edit.fields.size()), 2);
    for (long field : edit.fields)
        chunk += rightAligned(field, 8);
    chunk += rightAligned(static_cast<long>(edit.logic.size()), 4);
    return rightAligned(static_cast<long>(chunk.size()), 4) + chunk + edit.logic;
}

DbfRow catalogueRecord(const EditSetDefinition& set,
                       const std::vector<const EditDefinition*>& members) {
    size_t namesSize = 0, logicSize = 0, references = 0;
    std::string components;
    for (const EditDefinition* edit : members) {
        namesSize += edit->name.size() + 1;
        logicSize += edit->logic.size() + 1;
        references += edit->fields.size();
        components += componentChunk(*edit);
    }
    std::string key = "ES" + set.name;
    std::string sizes = rightAligned(static_cast<long>(namesSize), 8) +
                        rightAligned(static_cast<long>(logicSize), 8) +
                        rightAligned(static_cast<long>(references), 8);
    return DbfRow{{key, sizes, components, set.description, "", ""}, false};
}

} // namespace

EditTableRows editTableRows(const std::vector<EditDefinition>& edits,
                            const std::vector<EditSetDefinition>& editSets) {
    EditTableRows rows;
    for (const EditDefinition& edit : edits) {
        checkName(edit.name, "edit");
        if (edit.fields.size() > kMaxFields)
            throw WriterError("edit " + edit.name + " uses more than 99 fields");
        rows.compiledEdits.push_back(
            DbfRow{{padded(edit.name, kNameWidth), std::to_string(edit.messageNumber), edit.logic,
                    edit.description, edit.help, littleEndianList(edit.fields)},
                   false});
    }
    for (const EditSetDefinition& set : editSets) {
        checkName(set.name, "edit set");
        std::vector<long> recordNumbers;
        std::vector<const EditDefinition*> members;
        for (const std::string& member : set.members) {
            auto found = std::find_if(edits.begin(), edits.end(), [&](const EditDefinition& edit) {
                return edit.name == member;
            });
            if (found == edits.end())
                throw WriterError("edit set " + set.name + " names an unknown edit " + member);
            recordNumbers.push_back(static_cast<long>(found - edits.begin()) + 1);
            members.push_back(&*found);
        }
        rows.editSets.push_back(DbfRow{{set.name, littleEndianList(recordNumbers)}, false});
        rows.catalogue.push_back(catalogueRecord(set, members));
    }
    return rows;
}

DbfRow messageRow(int number, const std::string& text) {
    return DbfRow{{rightAligned(number, 4), text}, false};
}

} // namespace vetra::writer
