// What the readers of the manifest's sections share: the manifest being read, and access to
// its TOML values whose errors name the manifest line at fault.
#pragma once

#include "tools/metafile_writer/metafile_builder.h"
#include "tools/metafile_writer/writer_error.h"

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <toml++/toml.h>

namespace vetra::writer {

struct Manifest {
    std::filesystem::path file;
    std::filesystem::path directory; // sources are named relative to it
    MetafileBuilder& builder;
};

[[noreturn]] void fail(const Manifest& manifest, const toml::node& node,
                       const std::string& message);

// Errors from the library name no file; here they belong to the manifest line that caused them.
template <class Action>
void attributeErrors(const Manifest& manifest, const toml::node& node, Action action) {
    try {
        action();
    } catch (const WriterError& error) {
        if (!error.file().empty()) throw;
        fail(manifest, node, error.what());
    }
}

void requireKnownKeys(const Manifest& manifest, const toml::table& table,
                      std::initializer_list<std::string_view> known, std::string_view where);

const toml::table& requireTable(const Manifest& manifest, const toml::node& node,
                                std::string_view what);

std::optional<std::string> optionalString(const Manifest& manifest, const toml::table& table,
                                          std::string_view key);
std::string requireString(const Manifest& manifest, const toml::table& table, std::string_view key);

// Up to 65535, which covers every length and number the formats allow; anything larger is
// refused here rather than narrowed.
std::optional<int> optionalCount(const Manifest& manifest, const toml::table& table,
                                 std::string_view key);

std::filesystem::path sourcePath(const Manifest& manifest, const toml::table& table,
                                 std::string_view key);

} // namespace vetra::writer
