// Edits written as edit-language source, compiled against a builder's own dictionary and
// added to it with their edit sets.
#pragma once

#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vetra::testing {

// Each edit has a name, a message number, the local numbers of its fields and its source.
template <class Edit>
void addCompiledEdits(writer::MetafileBuilder& builder, const std::vector<Edit>& edits,
                      const std::vector<writer::EditSetDefinition>& sets) {
    auto resolve = [&builder](std::string_view name) -> std::optional<int32_t> {
        if (auto local = builder.localNumberOf(name)) return static_cast<int32_t>(*local);
        return std::nullopt;
    };
    for (const Edit& edit : edits)
        builder.addEdit({edit.name, edit.messageNumber, edit.fields,
                         compiler::compileEdit(edit.source, resolve, edit.name).logic, "", ""});
    for (const auto& set : sets)
        builder.addEditSet(set);
}

} // namespace vetra::testing
