#include "tools/metafile_writer/index_tree.h"

#include "tools/metafile_writer/writer_error.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace vetra::writer {

namespace {

constexpr auto nodeStep = static_cast<std::uint32_t>(indexNodeSize);

std::vector<std::span<const IndexKey>> leafRuns(const IndexNodeFormat& format,
                                                std::span<const IndexKey> keys) {
    std::vector<std::span<const IndexKey>> runs;
    while (!keys.empty()) {
        std::size_t taken = format.leafCapacity(keys);
        if (taken == 0) throw WriterError("an index key does not fit a node");
        runs.push_back(keys.first(taken));
        keys = keys.subspan(taken);
    }
    if (runs.empty()) runs.push_back(keys);
    return runs;
}

// Children shared out evenly: parents of a level differ by one child at most.
std::vector<std::span<const ChildEntry>> parentRuns(std::span<const ChildEntry> children,
                                                    std::size_t capacity) {
    std::size_t parents = (children.size() + capacity - 1) / capacity;
    std::vector<std::span<const ChildEntry>> runs;
    for (std::size_t i = 0; i < parents; ++i) {
        std::size_t taken = children.size() / (parents - i);
        runs.push_back(children.first(taken));
        children = children.subspan(taken);
    }
    return runs;
}

// Appends one level's nodes and returns the entries naming them for the level above.
class LevelWriter {
public:
    LevelWriter(IndexTree& tree, std::uint32_t firstNode) : tree_(tree), firstNode_(firstNode) {}

    template <class Run, class Encode>
    std::vector<ChildEntry> write(const std::vector<Run>& runs, Encode encode) {
        std::vector<ChildEntry> named;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            std::uint32_t offset = nextOffset();
            NodeLinks links{runs.size() == 1, i > 0 ? offset - nodeStep : noIndexNode,
                            i + 1 < runs.size() ? offset + nodeStep : noIndexNode};
            Bytes node = encode(runs[i], links);
            tree_.nodes.insert(tree_.nodes.end(), node.begin(), node.end());
            tree_.root = offset;
            if (!runs[i].empty())
                named.push_back(ChildEntry{runs[i].back().key, runs[i].back().record, offset});
        }
        return named;
    }

private:
    // Checked before the node is written, so that a sibling pointer one node on fits too.
    std::uint32_t nextOffset() const {
        std::uint64_t offset = std::uint64_t{firstNode_} + tree_.nodes.size();
        if (offset + 2 * indexNodeSize > std::numeric_limits<std::int32_t>::max())
            throw WriterError("the index would pass 2 GB");
        return static_cast<std::uint32_t>(offset);
    }

    IndexTree& tree_;
    std::uint32_t firstNode_;
};

} // namespace

IndexTree buildIndexTree(const IndexNodeFormat& format, std::span<const IndexKey> keys,
                         std::uint32_t firstNode) {
    IndexTree tree;
    LevelWriter writer(tree, firstNode);
    std::vector<ChildEntry> level = writer.write(
        leafRuns(format, keys), [&](std::span<const IndexKey> run, const NodeLinks& links) {
            return format.leaf(run, links);
        });
    while (level.size() > 1) {
        std::vector<ChildEntry> children = std::move(level);
        level = writer.write(parentRuns(children, format.interiorCapacity()),
                             [&](std::span<const ChildEntry> run, const NodeLinks& links) {
                                 return format.interior(run, links);
                             });
    }
    return tree;
}

} // namespace vetra::writer
