// What translating edit logic costs, on a metafile's edit sets: the time to decode every
// edit's logic once and the bytes the decoded tokens hold, then, after every edit has run on
// the records of a data file, the bytes of the translations with the plans the runs made.
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/interp/translation_cache.h"
#include "engine/store/TMetaFile.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<int32_t> loadEveryEditSet(int32_t id) {
    std::vector<int32_t> handles;
    int32_t count = 0;
    VTx_GetEditSetCount(id, &count);
    for (int32_t s = 1; s <= count; ++s) {
        char name[64];
        int32_t handle = 0, status = 0;
        VTx_GetEditSetName(id, s, name);
        if (VTx_LoadEditSet(id, &handle, name, &status, 1) == 0) handles.push_back(handle);
    }
    return handles;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s METAFILE LAYOUT DATAFILE\n", argv[0]);
        return 2;
    }
    int32_t id = -1, record = -1;
    if (VTx_Init(&id, argv[1], nullptr, 0, nullptr) != 0) return 3;
    VTx_AllocRecord(id, 8192, &record);
    VTx_InitRecordLayout(id, record, argv[2]);
    std::vector<int32_t> handles = loadEveryEditSet(id);
    TMetaFile& instance = *vetra::engineProcess().metafiles().find(id);

    std::vector<std::string_view> logic;
    size_t logicBytes = 0;
    for (int32_t handle : handles) {
        vetra::EditSetRecord& set = *instance.editSets().find(handle);
        for (const vetra::EditEntry& entry : instance.editSets().entries(set)) {
            logic.push_back(instance.editSets().logic(set, entry));
            logicBytes += logic.back().size();
        }
    }
    std::vector<std::unique_ptr<vetra::Translation>> made;
    auto start = Clock::now();
    for (std::string_view text : logic)
        made.push_back(std::make_unique<vetra::Translation>(text));
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    size_t decodedBytes = 0;
    for (const auto& translation : made)
        decodedBytes += translation->decoded.bytes();
    std::printf("%zu edits, %zu bytes of compiled logic\n", logic.size(), logicBytes);
    std::printf("decoding all once: %.3f ms (%.2f us per edit), %zu bytes (%.1f per edit)\n",
                seconds * 1e3, seconds * 1e6 / static_cast<double>(logic.size()), decodedBytes,
                static_cast<double>(decodedBytes) / static_cast<double>(logic.size()));

    std::ifstream data(argv[3]);
    int records = 0;
    for (std::string line; std::getline(data, line) && records < 1000; ++records) {
        VTx_UpdateRecord(id, record, line.c_str());
        int32_t messages = 0;
        for (int32_t handle : handles)
            VTx_RunBatch(id, handle, 0, &messages, 0, nullptr);
    }
    const vetra::TranslationCache& cache = instance.interpreter().translations();
    std::printf("after %d records: %zu translations, %zu bytes with their plans\n", records,
                cache.size(), cache.bytes());
    VTx_Exit(id);
    return 0;
}
