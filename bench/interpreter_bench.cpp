// Edit executions per second on one core: typical edit logic (declarations, arithmetic,
// comparisons, if/else, a loop whose limit comes from the record, and a user function call)
// on a bound record, run from its translation and from its tokens (the reference path), the
// same logic run by Lua 5.4 beside them, and the smallest edit for the fixed cost of a run.
// The "ratio_to_lua" counter is the edit's runs per second over Lua's in the same binary.
#include "bench/bench_metafile.h"
#include "engine/api/engine_process.h"
#include "engine/api/vetra40.h"
#include "engine/store/TMetaFile.h"
#include "tools/edit_compiler/edit_compiler.h"
#include "tools/metafile_writer/metafile_builder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <lua.hpp>
#include <optional>
#include <string>

namespace {

constexpr const char* kTypicalEdit = R"(int i, total, limit;
char code[4];
total = 0;
limit = val(#S"Sex");
for (i = 0; i < limit; i = i + 1) {
    if (i mod 2 == 0) total = total + i * 3;
    else total = total - 1;
}
code[0] = 'C';
if (total > 2 && code[0] == 'C') total = half(total);
else total = 0;
if (total < 0) return fail;
return pass;

function half(int n) { return n / 2; }
)";

// The same logic in Lua: the limit from the record's table, the char array a new table per
// run as the edit's is a new array per run.
constexpr const char* kTypicalLua = R"(
local function half(n) return n // 2 end
return function(record)
    local total = 0
    local limit = tonumber(record.Sex)
    for i = 0, limit - 1 do
        if i % 2 == 0 then total = total + i * 3 else total = total - 1 end
    end
    local code = {0, 0, 0, 0}
    code[1] = 67
    if total > 2 and code[1] == 67 then total = half(total) else total = 0 end
    if total < 0 then return 0 end
    return 1
end
)";

// The record's Sex field gives the loop its limit.
constexpr const char* kRecord = "4";

using Clock = std::chrono::steady_clock;

// Measured by the Lua benchmark, which runs first.
double luaRunsPerSecond = 0;

const std::string& benchMetafile() {
    static const std::string path = [] {
        vetra::writer::MetafileBuilder builder;
        vetra::writer::DictionaryEntry sex;
        sex.localNumber = 220;
        sex.shortName = sex.longName = sex.thirdName = "Sex";
        sex.typeCode = "C";
        sex.length = 1;
        builder.addDictionaryEntry(sex);
        builder.addLayout(vetra::writer::RecordLayout{1, "Bench", "", {{220, "C", 1, 1, ' '}}});
        return vetra::bench::writeMetafile(builder, "vetra-interpreter-bench.rmf");
    }();
    return path;
}

double runsPerSecond(const benchmark::State& state, Clock::time_point started) {
    std::chrono::duration<double> elapsed = Clock::now() - started;
    return static_cast<double>(state.iterations()) / elapsed.count();
}

void reportRatio(benchmark::State& state, Clock::time_point started) {
    if (luaRunsPerSecond > 0)
        state.counters["ratio_to_lua"] = runsPerSecond(state, started) / luaRunsPerSecond;
}

void runEdit(benchmark::State& state, const char* source, bool reference) {
    int32_t id = -1, record = -1;
    VTx_Init(&id, benchMetafile().c_str(), nullptr, 0, nullptr);
    VTx_AllocRecord(id, 10, &record);
    VTx_InitRecordLayout(id, record, "Bench");
    VTx_UpdateRecord(id, record, kRecord);
    if (reference) VTx_SetVar(id, "_REFERENCE_INTERPRETER", "1");
    TMetaFile& instance = *vetra::engineProcess().metafiles().find(id);
    auto sexField = [](std::string_view name) -> std::optional<int32_t> {
        if (name == "Sex") return 220;
        return std::nullopt;
    };
    std::string logic = vetra::compiler::compileEdit(source, sexField, "bench.edit").logic;
    vetra::Interpreter& interpreter = instance.interpreter();
    int32_t verdict = 0;
    auto started = Clock::now();
    for (auto _ : state) {
        verdict = interpreter.VTi_interpret(logic);
        benchmark::DoNotOptimize(verdict);
    }
    reportRatio(state, started);
    if (verdict != 1) state.SkipWithError("the edit did not pass");
    state.SetItemsProcessed(state.iterations());
    state.counters["tokens_per_run"] = static_cast<double>(interpreter.tokens().tokensRead());
    VTx_Exit(id);
}

void BM_TypicalEditLua(benchmark::State& state) {
    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    if (luaL_dostring(lua, kTypicalLua) != LUA_OK) {
        state.SkipWithError(lua_tostring(lua, -1));
        lua_close(lua);
        return;
    }
    int function = luaL_ref(lua, LUA_REGISTRYINDEX);
    lua_newtable(lua);
    lua_pushstring(lua, kRecord);
    lua_setfield(lua, -2, "Sex");
    int record = luaL_ref(lua, LUA_REGISTRYINDEX);
    lua_Integer verdict = 0;
    auto started = Clock::now();
    for (auto _ : state) {
        lua_rawgeti(lua, LUA_REGISTRYINDEX, function);
        lua_rawgeti(lua, LUA_REGISTRYINDEX, record);
        lua_call(lua, 1, 1);
        verdict = lua_tointeger(lua, -1);
        lua_pop(lua, 1);
        benchmark::DoNotOptimize(verdict);
    }
    luaRunsPerSecond = runsPerSecond(state, started);
    if (verdict != 1) state.SkipWithError("the Lua logic did not pass");
    state.SetItemsProcessed(state.iterations());
    lua_close(lua);
}
BENCHMARK(BM_TypicalEditLua);

void BM_TypicalEdit(benchmark::State& state) {
    runEdit(state, kTypicalEdit, false);
}
BENCHMARK(BM_TypicalEdit);

void BM_TypicalEditReference(benchmark::State& state) {
    runEdit(state, kTypicalEdit, true);
}
BENCHMARK(BM_TypicalEditReference);

void BM_SmallestEdit(benchmark::State& state) {
    runEdit(state, "return pass;", false);
}
BENCHMARK(BM_SmallestEdit);

} // namespace

BENCHMARK_MAIN();
