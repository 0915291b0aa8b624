#include "lookup_functions.h"

#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"
#include "engine/store/ascii_case.h"

#include <optional>
#include <string>

namespace vetra {

namespace {

constexpr size_t kMaxTableName = 39;

enum class LookupKind { Exact, Range, Indexed };

// The table of a lookup: a string literal "NAME.EXT" or "NAME.EXT.COLUMN".
std::string tableLiteral(ArgumentReader& arguments) {
    TokenReader& tokens = arguments.interpreter().tokens();
    tokens.VTi_GetToken();
    if (tokens.token().kind != kStringLiteral) arguments.fail(2020, "internal_call_lookup");
    if (tokens.text().size() > kMaxTableName) arguments.fail(2071, "internal_call_lookup");
    return upperCasedAscii(std::string(tokens.text()));
}

int32_t internal_call_lookup(TMetaFile& instance, LookupKind kind) {
    return instance.lastError().guard(477, "internal_call_lookup", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        std::string key = arguments.text().text;
        arguments.comma();
        std::string table = tableLiteral(arguments);
        if (kind == LookupKind::Indexed) {
            arguments.close();
            return instance.lookupTables().VTi_StrLookUp(key, table) > 0 ? 1 : 0;
        }
        int32_t start = 1;
        int32_t length = 0;
        if (arguments.another(2072, "internal_call_lookup")) {
            start = arguments.count();
            if (arguments.another(2072, "internal_call_lookup")) {
                length = arguments.count();
                if (arguments.another(2072, "internal_call_lookup"))
                    arguments.fail(2072, "internal_call_lookup");
            }
        }
        SeekMode mode = kind == LookupKind::Range ? SeekMode::Range : SeekMode::Exact;
        return instance.lookupTables().VTi_Tblreadrec(key, table, start, length, nullptr, mode);
    });
}

} // namespace

int32_t call_lookup(TMetaFile& instance) {
    return internal_call_lookup(instance, LookupKind::Exact);
}

int32_t call_rlookup(TMetaFile& instance) {
    return internal_call_lookup(instance, LookupKind::Range);
}

int32_t call_ilookup(TMetaFile& instance) {
    return internal_call_lookup(instance, LookupKind::Indexed);
}

int32_t call_binlookup(TMetaFile& instance) {
    return instance.lastError().guard(490, "call_binlookup", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        std::string table = upperCasedAscii(arguments.text().text);
        arguments.comma();
        int32_t row = arguments.count();
        std::optional<int32_t> column;
        if (arguments.another(2034, "call_binlookup")) {
            column = arguments.count();
            arguments.close();
        }
        DirectoryEntry entry{};
        if (instance.VTi_locMetaTbl(&entry,
                                    table.substr(0, table.find('.', table.find('.') + 1))) != 1)
            arguments.fail(2035, "call_binlookup");
        return instance.lookupTables().binaryElement(table, row, column).value_or(0);
    });
}

} // namespace vetra
