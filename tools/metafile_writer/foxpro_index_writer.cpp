#include "tools/metafile_writer/foxpro_index_writer.h"

#include "tools/metafile_writer/index_classic_nodes.h"
#include "tools/metafile_writer/index_compact_nodes.h"
#include "tools/metafile_writer/index_header.h"
#include "tools/metafile_writer/index_tree.h"
#include "tools/metafile_writer/table_name.h"
#include "tools/metafile_writer/writer_error.h"

#include <cstdint>
#include <limits>
#include <set>

namespace vetra::writer {

namespace {

constexpr std::uint8_t compoundOptions = compactIndexOption | compoundIndexOption;

void append(Bytes& out, const Bytes& part) {
    out.insert(out.end(), part.begin(), part.end());
}

// Offsets inside an index are 32-bit, and metafile positions signed 32-bit.
std::uint32_t indexOffset(std::size_t offset) {
    if (offset > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw WriterError("the index would pass 2 GB");
    return static_cast<std::uint32_t>(offset);
}

// A tag: its compact header followed by its nodes.
Bytes compactImage(const IndexKeySet& set, std::uint32_t position) {
    IndexTree tree = buildIndexTree(CompactNodeFormat(set.keyLength), set.keys,
                                    position + static_cast<std::uint32_t>(compactHeaderSize));
    Bytes image = compactIndexHeader(tree.root, set.keyLength, compactIndexOption, set.expression);
    append(image, tree.nodes);
    return image;
}

void validateTagNames(const std::vector<IndexKeySet>& tags) {
    if (tags.size() > maxIndexTags)
        throw WriterError("a compound index holds at most " + std::to_string(maxIndexTags) +
                          " tags, not " + std::to_string(tags.size()));
    std::set<std::string> names;
    for (const IndexKeySet& tag : tags) {
        if (tag.tagName.empty() || tag.tagName.size() > maxTagNameLength)
            throw WriterError("tag name \"" + tag.tagName + "\" must be 1 to 10 characters");
        if (!names.insert(upperCaseAscii(tag.tagName)).second)
            throw WriterError("tag " + tag.tagName + " appears twice");
    }
}

// The directory lists the tags by name, as the index's own order requires; maxIndexTags
// keeps it to one leaf.
Bytes tagDirectory(std::vector<IndexKey> entries, std::uint32_t directoryNode) {
    IndexKeySet directory = orderedKeys(IndexKeySet{"", "", maxTagNameLength, std::move(entries)});
    IndexTree tree =
        buildIndexTree(CompactNodeFormat(maxTagNameLength), directory.keys, directoryNode);
    Bytes image = compactIndexHeader(tree.root, maxTagNameLength, compoundOptions, "");
    append(image, tree.nodes);
    return image;
}

} // namespace

Bytes writeCompoundIndex(std::vector<IndexKeySet> tags) {
    validateTagNames(tags);
    Bytes tagImages;
    std::vector<IndexKey> directory;
    for (IndexKeySet& tag : tags) {
        std::uint32_t position = indexOffset(compactHeaderSize + indexNodeSize + tagImages.size());
        directory.push_back(IndexKey{upperCaseAscii(tag.tagName), position});
        append(tagImages, compactImage(orderedKeys(std::move(tag)), position));
    }
    Bytes image = tagDirectory(std::move(directory), static_cast<std::uint32_t>(compactHeaderSize));
    append(image, tagImages);
    return image;
}

Bytes writeCompactIndex(IndexKeySet keys) {
    return compactImage(orderedKeys(std::move(keys)), 0);
}

Bytes writeClassicIndex(IndexKeySet keys) {
    IndexKeySet set = orderedKeys(std::move(keys));
    IndexTree tree = buildIndexTree(ClassicNodeFormat(set.keyLength), set.keys,
                                    static_cast<std::uint32_t>(classicHeaderSize));
    auto fileSize = static_cast<std::uint32_t>(classicHeaderSize + tree.nodes.size());
    Bytes image = classicIndexHeader(tree.root, fileSize, set.keyLength, set.expression);
    append(image, tree.nodes);
    return image;
}

Bytes writeTableIndex(const DbfTable& table) {
    std::vector<IndexKeySet> tags;
    for (const IndexTag& tag : table.indexTags)
        tags.push_back(tagKeys(table, tag));
    return writeCompoundIndex(std::move(tags));
}

} // namespace vetra::writer
