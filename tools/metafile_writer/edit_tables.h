// How edits, edit sets and messages are written into the internal tables:
// - _RE_CEDI.DBF, one record per edit: name, message number, and memos of its compiled logic,
//   description, help and the local numbers of its fields (4-byte little-endian each);
// - _RE_EDSE.DBF, one record per edit set: name and a memo of its members' _RE_CEDI.DBF
//   record numbers (4-byte little-endian each, from 1), in run order;
// - _RE_COMP.DBF, one "ES" record per edit set: the name from offset 2, the total sizes of the
//   members' names, logic texts (each with a terminator) and field references at 52, 60 and
//   68 (8 characters each), and a memo of each member's chunk followed by its logic;
// - _RE_ERMS.DBF, one record per message: its number in 4 characters and its text.
#pragma once

#include "tools/metafile_writer/dbf_table.h"

#include <string>
#include <vector>

namespace vetra::writer {

struct EditDefinition {
    std::string name; // up to 50 characters
    int messageNumber = 0;
    std::vector<long> fields; // local numbers, in the order the logic refers to them
    std::string logic;        // compiled
    std::string description;
    std::string help;
};

struct EditSetDefinition {
    std::string name; // up to 50 characters
    std::string description;
    std::vector<std::string> members; // edit names, in run order
};

struct EditTableRows {
    std::vector<DbfRow> compiledEdits; // _RE_CEDI.DBF
    std::vector<DbfRow> editSets;      // _RE_EDSE.DBF
    std::vector<DbfRow> catalogue;     // "ES" records of _RE_COMP.DBF
};

// Throws WriterError for a name that does not fit, a member that is not among the edits, or
// an edit with more than 99 fields.
EditTableRows editTableRows(const std::vector<EditDefinition>& edits,
                            const std::vector<EditSetDefinition>& editSets);

DbfRow messageRow(int number, const std::string& text);

} // namespace vetra::writer
