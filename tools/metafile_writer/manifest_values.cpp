#include "tools/metafile_writer/manifest_values.h"

#include <algorithm>
#include <cstdint>

namespace vetra::writer {

void fail(const Manifest& manifest, const toml::node& node, const std::string& message) {
    throw WriterError(manifest.file,
                      "line " + std::to_string(node.source().begin.line) + ": " + message);
}

void requireKnownKeys(const Manifest& manifest, const toml::table& table,
                      std::initializer_list<std::string_view> known, std::string_view where) {
    for (auto&& [key, value] : table)
        if (std::find(known.begin(), known.end(), key.str()) == known.end())
            fail(manifest, value,
                 "unknown key \"" + std::string(key.str()) + "\" in " + std::string(where));
}

const toml::table& requireTable(const Manifest& manifest, const toml::node& node,
                                std::string_view what) {
    if (!node.is_table()) fail(manifest, node, std::string(what) + " must be a table");
    return *node.as_table();
}

std::optional<std::string> optionalString(const Manifest& manifest, const toml::table& table,
                                          std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (!node->is_string()) fail(manifest, *node, std::string(key) + " must be a string");
    return node->as_string()->get();
}

std::string requireString(const Manifest& manifest, const toml::table& table,
                          std::string_view key) {
    auto value = optionalString(manifest, table, key);
    if (!value) fail(manifest, table, "missing " + std::string(key));
    return *value;
}

std::optional<int> optionalCount(const Manifest& manifest, const toml::table& table,
                                 std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (!node->is_integer()) fail(manifest, *node, std::string(key) + " must be an integer");
    std::int64_t value = node->as_integer()->get();
    if (value < 0 || value > 0xFFFF) fail(manifest, *node, std::string(key) + " is out of range");
    return static_cast<int>(value);
}

std::filesystem::path sourcePath(const Manifest& manifest, const toml::table& table,
                                 std::string_view key) {
    return manifest.directory / requireString(manifest, table, key);
}

} // namespace vetra::writer
