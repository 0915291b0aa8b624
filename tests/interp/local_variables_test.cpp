#include "engine/interp/local_variables.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using vetra::LocalVariables;
using vetra::VariableRecord;

// The record the table held before it had an index: the last one whose name matches.
int32_t lastNamed(const LocalVariables& locals, std::string_view name) {
    std::string key;
    for (char c : name.substr(0, VariableRecord::kNameCapacity - 1))
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int32_t i = locals.count() - 1; i >= 0; --i)
        if (std::string_view(locals.at(i).key, locals.at(i).keyLength) == key) return i;
    return -1;
}

int32_t found(LocalVariables& locals, std::string_view name) {
    const VariableRecord* record = locals.VTi_FindVar(name);
    return record == nullptr ? -1 : static_cast<int32_t>(record - &locals.at(0));
}

VariableRecord named(const std::string& name, int32_t value) {
    VariableRecord record;
    record.setName(name);
    record.value = value;
    return record;
}

// Declarations, arguments bound to parameters (which may repeat a name) and returns, in
// random order: whether the table is searched record by record or through its index, each
// name finds the record it always found.
TEST(LocalVariablesTest, NamesFindTheLastRecordOfTheirNameAcrossTheIndexThreshold) {
    std::vector<std::string> names = {
        "", "a", "A", "b", "count", "COUNT", "a_very_long_name_here_x", "a_very_long_name_here_y"};
    for (int n = 0; n < 120; ++n)
        names.push_back("v" + std::to_string(n));
    std::mt19937 random(7);
    LocalVariables locals;
    int32_t largest = 0;
    for (int step = 0; step < 10000; ++step) {
        const std::string& name = names[random() % names.size()];
        switch (random() % 12) {
        case 0:
            locals.truncate(
                static_cast<int32_t>(random() % static_cast<uint32_t>(locals.count() + 1)));
            break;
        case 1:
            if (random() % 50 == 0) locals.clear();
            break;
        case 2:
        case 3:
            locals.pushArgument(step);
            break;
        case 4:
            if (locals.count() > 0)
                locals.bindParameter(
                    static_cast<int32_t>(random() % static_cast<uint32_t>(locals.count())), name);
            break;
        default:
            locals.VTi_LocalPush(named(name, step));
        }
        for (const std::string& probe : names)
            ASSERT_EQ(found(locals, probe), lastNamed(locals, probe))
                << "step " << step << " " << probe;
        largest = std::max(largest, locals.count());
    }
    EXPECT_GT(largest, 2 * LocalVariables::kUnindexedRecords);
}

TEST(LocalVariablesTest, APushReplacesTheRecordOfItsNameWhereverItStands) {
    LocalVariables locals;
    for (int n = 0; n < 100; ++n)
        locals.VTi_LocalPush(named("v" + std::to_string(n), n));
    locals.VTi_LocalPush(named("V7", 700));
    EXPECT_EQ(locals.count(), 100);
    EXPECT_EQ(locals.VTi_FindVar("v7")->value, 700);
    EXPECT_STREQ(locals.at(7).name, "V7");
    EXPECT_EQ(locals.VTi_FindVar("v100"), nullptr);
}

} // namespace
