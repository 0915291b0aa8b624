#include "bench/engine_loop.h"

#include "desktop/workflow/metafile_session.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace vetra::bench {

double engineLoop(const desktop::RAVengine& engine, const WholeRunSetup& setup, bool runSets,
                  bool reference) {
    using Clock = std::chrono::steady_clock;
    StderrMessageBoxes boxes;
    desktop::MetafileSession session(engine, boxes, ""); // the sample calls no external library
    session.open(setup.metafile);
    const auto& api = engine.api();
    const std::int32_t id = session.mfID();
    if (reference) api.VTx_SetVar(id, "_REFERENCE_INTERPRETER", "1");
    std::int32_t record = 0, status = 0, messages = 0;
    api.VTx_AllocRecord(id, static_cast<std::int32_t>(setup.info.recordLength) + 10, &record);
    api.VTx_InitRecordLayout(id, record, setup.layout.c_str());
    std::vector<std::int32_t> handles(setup.sets.size());
    for (std::size_t i = 0; i < setup.sets.size(); ++i)
        api.VTx_LoadEditSet(id, &handles[i], setup.sets[i].c_str(), &status, 1);
    std::vector<char> buffer(static_cast<std::size_t>(setup.info.recordLength) + 1);
    std::FILE* file = std::fopen(setup.data.c_str(), "rb");
    const auto start = Clock::now();
    while (std::size_t read = std::fread(buffer.data(), 1, buffer.size() - 1, file)) {
        buffer[read] = '\0';
        if (runSets) api.VTx_ClearAllFlags(id);
        api.VTx_UpdateRecord(id, record, buffer.data());
        if (!runSets) continue;
        for (std::int32_t handle : handles)
            api.VTx_RunBatch(id, handle, 130, &messages, 0, nullptr);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::fclose(file);
    return seconds;
}

} // namespace vetra::bench
