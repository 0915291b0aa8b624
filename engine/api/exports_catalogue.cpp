// Exported error-catalogue calls. They belong to no metafile instance and record nothing.
#include "engine/api/caller_buffer.h"
#include "engine/api/error_catalogue.h"
#include "engine/api/vetra40.h"

int32_t VTi_GetEngineErrorMessage(int32_t code, char* message, int32_t messageLength,
                                  char* function, int32_t functionLength) {
    try {
        const vetra::CatalogueRow* row = vetra::findCatalogueRow(code);
        if (row == nullptr) return 1000;
        vetra::copyToCaller(message, messageLength, row->message);
        vetra::copyToCaller(function, functionLength, row->function);
        return 0;
    } catch (...) {
        return -3;
    }
}

int32_t VTerr_GetEngineErrorMessage(int32_t code, char* message, int32_t messageLength,
                                    char* function, int32_t functionLength) {
    return VTi_GetEngineErrorMessage(code, message, messageLength, function, functionLength);
}

// A file that cannot be written is reported with 9000 rather than as success.
int32_t VTi_ExportErrorList(const char* path) {
    try {
        return vetra::exportErrorCatalogue(path != nullptr ? path : "EditErrs.csv") ? 0 : 9000;
    } catch (...) {
        return -3;
    }
}

int32_t VTerr_ExportErrorList(const char* path) {
    return VTi_ExportErrorList(path);
}
