#include "tests/corruption/sample_metafile.h"

#include "tools/metafile_writer/internal_tables.h"
#include "tools/metafile_writer/raw_table.h"

namespace vetra::corruption {

using namespace vetra::writer;

namespace {

DbfTable sitesTable() {
    return DbfTable{"SITES.DBF",
                    {{"CODE", 'C', 4, 0}, {"LABEL", 'C', 20, 0}, {"NOTE", 'M', 10, 0}},
                    {{{"C000", "Lip, upper", "External upper lip"}, false},
                     {{"C019", "Tongue, base", ""}, true},
                     {{"C500", "Breast, nipple", "Nipple and areola"}, false}},
                    {}};
}

void addInternalRows(MetafileBuilder& builder) {
    builder.addInternalRow(editSetTableName, DbfRow{{"Default", "SITE CHECK\nAGE CHECK"}, false});
    builder.addInternalRow(layoutFieldTableName,
                           DbfRow{{"00000400", "", "1", "1", "4", "C", ""}, false});
    builder.addInternalRow(compiledEditTableName, DbfRow{{"SITE CHECK", "1", "if (1) return PASS;",
                                                          "Checks the site code", "", "SITE"},
                                                         false});
    builder.addInternalRow(messageTableName, DbfRow{{"0001", "Site is not valid"}, false});
}

} // namespace

MetafileBuilder sampleBuilder(MetafileOptions options) {
    MetafileBuilder builder(std::move(options));
    addInternalRows(builder);
    builder.addTable(sitesTable());
    builder.addTable(makeTextTable("CODES.ASC", "C000 Lip\nC019 Tongue\nC500 Breast\n"));
    builder.addTable(makeBinaryTable("PAIRS.BIN", 8, 4, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    return builder;
}

Bytes sampleMetafile(MetafileOptions options) {
    return sampleBuilder(std::move(options)).build();
}

} // namespace vetra::corruption
