// Writes the fuzzer's seed corpus: a handful of small valid metafiles with different mixes of
// tables and block sizes, so that mutation starts from files that open and reach the table
// reader. Usage: make_seed_corpus FOLDER
#include "tools/metafile_writer/file_contents.h"
#include "tools/metafile_writer/internal_tables.h"
#include "tools/metafile_writer/metafile_builder.h"
#include "tools/metafile_writer/raw_table.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <tuple>

namespace {

using namespace vetra::writer;

DbfTable lookupTable() {
    return DbfTable{"SITES.DBF",
                    {{"CODE", 'C', 4, 0}, {"COUNT", 'N', 3, 0}, {"NOTE", 'M', 10, 0}},
                    {{{"C000", "12", "Upper lip"}, false},
                     {{"C019", "7", ""}, true},
                     {{"C500", "", "Nipple"}, false}},
                    {}};
}

void addInternalRows(MetafileBuilder& builder) {
    builder.addInternalRow(editSetTableName, DbfRow{{"Default", "SITE CHECK"}, false});
    builder.addInternalRow(layoutFieldTableName,
                           DbfRow{{"00000400", "", "1", "1", "4", "C", ""}, false});
    builder.addInternalRow(messageTableName, DbfRow{{"0001", "Site is not valid"}, false});
}

MetafileBuilder internalOnly() {
    return MetafileBuilder();
}

MetafileBuilder withRows() {
    MetafileBuilder builder;
    addInternalRows(builder);
    return builder;
}

MetafileBuilder lookupWithMemo() {
    MetafileBuilder builder;
    builder.addTable(lookupTable());
    return builder;
}

MetafileBuilder rawTables() {
    MetafileBuilder builder;
    builder.addTable(makeTextTable("CODES.ASC", "C000 Lip\nC019 Tongue\n"));
    builder.addTable(makeBinaryTable("PAIRS.BIN", 16, 2, Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    return builder;
}

// Small blocks in the memo base and large ones in the table's memo file.
MetafileBuilder everythingOtherBlockSizes() {
    MetafileBuilder builder(MetafileOptions{"4.00", 16, 512, {}});
    addInternalRows(builder);
    builder.addTable(lookupTable());
    builder.addTable(makeTextTable("CODES.ASC", "A\nBB\n"));
    return builder;
}

MetafileBuilder withoutCatalogue() {
    MetafileBuilder builder(MetafileOptions{"4.00", 64, 64, {std::string(componentTableName)}});
    builder.addTable(makeTextTable("CODES.ASC", "A\n"));
    return builder;
}

// A layout bound by edits in two edit sets, so that mutation reaches layouts and edit sets.
MetafileBuilder layoutWithEditSets() {
    MetafileBuilder builder;
    for (auto [local, name, type, length] :
         {std::tuple{220L, "Sex", "C", 1}, std::tuple{390L, "Date of Diagnosis", "D1", 8}}) {
        DictionaryEntry entry;
        entry.localNumber = local;
        entry.shortName = name;
        entry.typeCode = type;
        entry.length = length;
        builder.addDictionaryEntry(entry);
    }
    builder.addLayout(
        RecordLayout{1, "Seed", "A layout", {{220, "C", 1, 1, ' '}, {390, "D1", 2, 8, ' '}}});
    builder.addEdit(
        {"Sex Valid", 1, {220}, "@F0004(#220E'9)\nDQ;\nR", "Sex must be coded.", "Help"});
    builder.addEdit({"Date", 2, {390}, "A00016mA(#390)nA(HN01d)\n{DMk(N01d);}", "", ""});
    builder.addEditSet({"Both", "Two edits", {"Sex Valid", "Date"}});
    builder.addEditSet({"One", "", {"Date"}});
    builder.addMessage(1, "%F1 (%V1) is wrong");
    return builder;
}

struct Seed {
    const char* name;
    MetafileBuilder (*build)();
};

const Seed seeds[] = {
    {"internal_only.rmf", internalOnly},
    {"with_rows.rmf", withRows},
    {"lookup_with_memo.rmf", lookupWithMemo},
    {"raw_tables.rmf", rawTables},
    {"other_block_sizes.rmf", everythingOtherBlockSizes},
    {"without_catalogue.rmf", withoutCatalogue},
    {"layout_with_edit_sets.rmf", layoutWithEditSets},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus FOLDER\n");
        return 2;
    }
    try {
        std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        for (const Seed& seed : seeds)
            writeFileContents(folder / seed.name, seed.build().build());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_seed_corpus: %s\n", error.what());
        return 1;
    }
    return 0;
}
