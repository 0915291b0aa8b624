#include "last_engine_error.h"

#include "error_catalogue.h"

namespace vetra {

void LastEngineError::record(int32_t code) {
    if (code == code_) return;
    const CatalogueRow* row = findCatalogueRow(code);
    if (row == nullptr) {
        code_ = -1;
        return;
    }
    text_ = row->message;
    code_ = code;
}

} // namespace vetra
