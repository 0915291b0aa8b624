// Exported choice-list calls. The widths buffer receives a count byte and at most 19 widths;
// the row buffer is sized by the caller for the rows it asks for, each of the total width,
// and a terminator.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

#include <algorithm>
#include <cstring>
#include <string_view>

using vetra::dispatch;

namespace {

std::string_view textOf(const char* text) {
    return text != nullptr ? text : "";
}

void setIfGiven(int32_t* out, int32_t value) {
    if (out != nullptr) *out = value;
}

int32_t report(const vetra::ChoiceColumns& columns, unsigned char* widths, int32_t* totalWidth,
               int32_t* entryCount) {
    if (widths != nullptr) {
        widths[0] = static_cast<unsigned char>(columns.widths.size());
        std::copy(columns.widths.begin(), columns.widths.end(), widths + 1);
    }
    setIfGiven(totalWidth, columns.totalWidth);
    setIfGiven(entryCount, columns.entryCount);
    return 0;
}

// No rows leave the buffer as it was; otherwise the rows follow one another and end with a
// terminator.
void copyRows(const vetra::ChoiceRows& rows, char* buffer) {
    if (rows.count == 0 || buffer == nullptr) return;
    std::memcpy(buffer, rows.text.data(), rows.text.size());
    buffer[rows.text.size()] = '\0';
}

} // namespace

int32_t VTx_InitChoices(int32_t mfID, const char* tableSpecification, const char* startKey,
                        unsigned char* widths, int32_t* totalWidth, int32_t* entryCount) {
    return dispatch(mfID, [&](TMetaFile& mf) {
        return report(
            mf.choiceLists().VTi_InitChoices(textOf(tableSpecification), textOf(startKey)), widths,
            totalWidth, entryCount);
    });
}

int32_t VTx_InitFieldChoices(int32_t mfID, int32_t localNumber, const char* startKey,
                             unsigned char* widths, int32_t* totalWidth, int32_t* entryCount) {
    return dispatch(mfID, [&](TMetaFile& mf) {
        return report(mf.choiceLists().VTi_InitFieldChoices(localNumber, textOf(startKey)), widths,
                      totalWidth, entryCount);
    });
}

int32_t VTx_GetChoices(int32_t mfID, char* rows, int32_t step, int32_t wanted, int32_t* delivered) {
    return dispatch(mfID, [&](TMetaFile& mf) {
        vetra::ChoiceRows batch = mf.choiceLists().VTi_GetChoices(step, wanted);
        copyRows(batch, rows);
        setIfGiven(delivered, batch.count);
        return 0;
    });
}

int32_t VTx_FreeChoices(int32_t mfID) {
    return dispatch(mfID, [](TMetaFile& mf) {
        mf.choiceLists().VTi_FreeChoices();
        return 0;
    });
}
