// The field values that field reference tokens read: the current text of the bound layout's
// field with the reference's local number.
#pragma once

#include "engine/interp/token_reader.h"
#include "engine/records/bound_layouts.h"
#include "engine/records/field_access.h"

namespace vetra {

class BoundFieldValues : public FieldValueSource {
public:
    BoundFieldValues(BoundLayouts& layouts, FieldAccess& access)
        : layouts_(layouts), access_(access) {}

    const char* fieldValue(int32_t localNumber) override {
        int32_t handle = layouts_.fieldForLocalValue(localNumber);
        return handle < 0 ? nullptr : access_.VTi_FldAccess(handle);
    }

private:
    BoundLayouts& layouts_;
    FieldAccess& access_;
};

} // namespace vetra
