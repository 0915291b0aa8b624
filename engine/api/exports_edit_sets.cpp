// Exported edit set loading and edit metadata calls.
#include "engine/api/caller_buffer.h"
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

#include <optional>
#include <string>
#include <string_view>

using vetra::dispatchOperation;

namespace {

constexpr int32_t kNameCapacity = 51;
constexpr int32_t kEncodedLogicLimit = 10000;

std::string_view textOf(const char* text) {
    return text != nullptr ? text : "";
}

void setIfGiven(int32_t* out, int32_t value) {
    if (out != nullptr) *out = value;
}

int32_t editText(int32_t mfID, int32_t hEditSet, int32_t editIndex, vetra::EditText kind,
                 int32_t lineWidth, int32_t capacity, int32_t* length, char* text, int32_t mode) {
    return dispatchOperation(mfID, 420, "VTi_GetEditText", [&](TMetaFile& mf) {
        std::optional<vetra::DeliveredText> delivered;
        int32_t status = mf.editMetadata().VTi_GetEditText(
            hEditSet, editIndex, kind, lineWidth, capacity, mode, text != nullptr, &delivered);
        if (status == 0 && delivered) {
            vetra::copyToCaller(text, capacity, delivered->text);
            setIfGiven(length, delivered->length);
        }
        return status;
    });
}

} // namespace

int32_t VTx_LoadEditSet(int32_t mfID, int32_t* hEditSet, const char* editSetName,
                        int32_t* loadStatus, int32_t option) {
    return dispatchOperation(mfID, 438, "VTi_LoadEditSet", [&](TMetaFile& mf) {
        int32_t handle = 0, status = 0;
        try {
            mf.editSets().VTi_LoadEditSet(textOf(editSetName), option, &handle, &status);
        } catch (...) {
            setIfGiven(loadStatus, status); // how far a failed load came (2 to 4)
            throw;
        }
        setIfGiven(hEditSet, handle);
        setIfGiven(loadStatus, status);
        return 0;
    });
}

int32_t VTx_FreeEditSet(int32_t mfID, int32_t) {
    return vetra::dispatch(mfID, [](TMetaFile&) { return 0; });
}

int32_t VTx_GetEditSetSize(int32_t mfID, int32_t hEditSet, int32_t* editCount) {
    return dispatchOperation(mfID, 426, "VTi_GetEditSetSize", [&](TMetaFile& mf) {
        int32_t count = 0;
        int32_t status = mf.editMetadata().VTi_GetEditSetSize(hEditSet, &count);
        setIfGiven(editCount, count);
        return status;
    });
}

int32_t VTx_GetEditSetInfo(int32_t mfID, int32_t hEditSet, char* name, int32_t* editCount,
                           int32_t* runFlags, int32_t* runField) {
    return dispatchOperation(mfID, 317, "VTi_GetEditSetInfo", [&](TMetaFile& mf) {
        std::string setName;
        int32_t count = 0, flags = 0, field = 0;
        int32_t status =
            mf.editMetadata().VTi_GetEditSetInfo(hEditSet, &setName, &count, &flags, &field);
        if (status != 0) return status;
        vetra::copyToCaller(name, kNameCapacity, setName);
        setIfGiven(editCount, count);
        setIfGiven(runFlags, flags);
        setIfGiven(runField, field);
        return 0;
    });
}

int32_t VTx_GetEditHandle(int32_t mfID, int32_t hEditSet, int32_t* editIndex,
                          const char* editName) {
    return dispatchOperation(mfID, 408, "VTi_GetEditHandle", [&](TMetaFile& mf) {
        int32_t index = -1;
        int32_t status = mf.editMetadata().VTi_GetEditHandle(hEditSet, textOf(editName), &index);
        if (status == 0) setIfGiven(editIndex, index);
        return status;
    });
}

int32_t VTx_GetEditName(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* name) {
    return dispatchOperation(mfID, 422, "VTi_GetEditName", [&](TMetaFile& mf) {
        std::string editName;
        int32_t status = mf.editMetadata().VTi_GetEditName(hEditSet, editIndex, &editName);
        if (status == 0) vetra::copyToCaller(name, kNameCapacity, editName);
        return status;
    });
}

int32_t VTx_GetEditInfo(int32_t mfID, int32_t hEditSet, int32_t editIndex, const char* templateText,
                        char* text, int32_t capacity) {
    return dispatchOperation(mfID, 421, "VTi_GetEditInfo", [&](TMetaFile& mf) {
        std::string expanded;
        size_t limit = capacity > 0 ? static_cast<size_t>(capacity) : 0;
        int32_t status = mf.editMetadata().VTi_GetEditInfo(hEditSet, editIndex,
                                                           textOf(templateText), limit, &expanded);
        if (status == 0) vetra::copyToCaller(text, capacity, expanded);
        return status;
    });
}

int32_t VTx_GetEditInfoEx(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* name,
                          int32_t* fieldCount, int32_t* statusBits, int32_t* options,
                          int32_t* errorCount, int32_t* warningCount, int32_t* skipCount) {
    return dispatchOperation(mfID, 419, "VTi_GetEditInfoEx", [&](TMetaFile& mf) {
        std::string editName;
        vetra::EditCounters counters{};
        int32_t status =
            mf.editMetadata().VTi_GetEditInfoEx(hEditSet, editIndex, &editName, &counters);
        if (status != 0) return status;
        vetra::copyToCaller(name, kNameCapacity, editName);
        setIfGiven(fieldCount, counters.fieldCount);
        setIfGiven(statusBits, counters.statusBits);
        setIfGiven(options, counters.options);
        setIfGiven(errorCount, counters.errorCount);
        setIfGiven(warningCount, counters.warningCount);
        setIfGiven(skipCount, counters.skipCount);
        return 0;
    });
}

int32_t VTx_GetEditCounts(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t* fieldCount,
                          int32_t* errorCount, int32_t* warningCount, int32_t* skipCount) {
    return dispatchOperation(mfID, 316, "VTi_GetEditCounts", [&](TMetaFile& mf) {
        vetra::EditCounters counters{};
        int32_t status = mf.editMetadata().VTi_GetEditCounts(hEditSet, editIndex, &counters);
        if (status != 0) return status;
        setIfGiven(fieldCount, counters.fieldCount);
        setIfGiven(errorCount, counters.errorCount);
        setIfGiven(warningCount, counters.warningCount);
        setIfGiven(skipCount, counters.skipCount);
        return 0;
    });
}

int32_t VTx_GetEditDescript(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t lineWidth,
                            int32_t capacity, int32_t* length, char* text, int32_t mode) {
    return editText(mfID, hEditSet, editIndex, vetra::EditText::Description, lineWidth, capacity,
                    length, text, mode);
}

int32_t VTx_GetEditHelp(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t lineWidth,
                        int32_t capacity, int32_t* length, char* text, int32_t mode) {
    return editText(mfID, hEditSet, editIndex, vetra::EditText::Help, lineWidth, capacity, length,
                    text, mode);
}

int32_t VTx_GetMemoSize(int32_t mfID, int32_t memoKind, const char* name, int32_t* size) {
    return dispatchOperation(mfID, 59, "VTi_GetMemoSize", [&](TMetaFile& mf) {
        int32_t found = 0;
        int32_t status = mf.editMetadata().VTi_GetDescriptMemoSize(memoKind, textOf(name), &found);
        setIfGiven(size, found);
        return status;
    });
}

int32_t VTx_GetEditLogic(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t capacity,
                         const char* lineSeparator, int32_t* length, char* text) {
    return dispatchOperation(mfID, 67, "VTi_GetEditLogic", [&](TMetaFile& mf) {
        std::string rendered;
        mf.editMetadata().VTi_GetEditLogic(hEditSet, editIndex, textOf(lineSeparator), &rendered);
        bool fits = static_cast<int64_t>(rendered.size()) < capacity;
        if (fits) vetra::copyToCaller(text, capacity, rendered);
        setIfGiven(length, fits ? static_cast<int32_t>(rendered.size()) : 0);
        return 0;
    });
}

int32_t VTx_GetEncodedEdit(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* buffer,
                           int32_t bufferLength, char* name, int32_t nameLength) {
    return dispatchOperation(mfID, 67, "VTi_GetEditLogic", [&](TMetaFile& mf) {
        std::string logic, editName;
        bool found = false;
        int32_t status =
            mf.editMetadata().VTx_GetEncodedEdit(hEditSet, editIndex, &logic, &editName, &found);
        if (status != 0 || !found) return status;
        vetra::copyToCaller(buffer, std::min(bufferLength, kEncodedLogicLimit), logic);
        vetra::copyToCaller(name, std::min(nameLength, kNameCapacity), editName);
        return 0;
    });
}
