// The engine error catalogue: every code the engine can report, with the operation that
// reports it and the text shown to users. Compiled in; hosts read it through the VTerr_ calls.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vetra {

struct CatalogueRow {
    int32_t code;
    const char* function;
    const char* message;
};

// All rows in catalogue order: 0, -1, -2, -3, the positive codes ascending, and last the
// placeholder 9999, which is never reported and never exported.
std::span<const CatalogueRow> errorCatalogue();

// The first row with the code, in catalogue order; null when the catalogue has none.
const CatalogueRow* findCatalogueRow(int32_t code);

// Writes every row but the placeholder as `code,"function","message"` lines. Returns false
// when the file cannot be created or written completely.
bool exportErrorCatalogue(const std::string& path);

} // namespace vetra
