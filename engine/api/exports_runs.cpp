// Exported edit runs, message reading and flag calls.
#include "engine/api/caller_buffer.h"
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

#include <string>

using vetra::dispatchOperation;

namespace {

void setIfGiven(int32_t* out, int32_t value) {
    if (out != nullptr) *out = value;
}

// The one-letter message type as a text: the letter, or nothing, and a terminator.
void copyType(char* destination, char type) {
    if (destination == nullptr) return;
    destination[0] = type;
    if (type != '\0') destination[1] = '\0';
}

} // namespace

int32_t VTx_RunBatch(int32_t mfID, int32_t hEditSet, int32_t runFlags, int32_t* messageCount,
                     intptr_t owner, VT_EditsMessagesCallback callback) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        int32_t count = 0;
        int32_t status = mf.runs().VTi_RunBatch(hEditSet, runFlags, &count, owner, callback);
        setIfGiven(messageCount, count);
        return status;
    });
}

int32_t VTx_RunSingle(int32_t mfID, int32_t hEditSet, int32_t localNumber, int32_t runFlags,
                      int32_t* messageCount, intptr_t owner, VT_EditsMessagesCallback callback) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        int32_t count = 0;
        int32_t status = mf.runs().VTi_RunSingle(hEditSet, localNumber, runFlags, &count, owner,
                                                 callback);
        setIfGiven(messageCount, count);
        return status;
    });
}

int32_t VTx_RunEditByName(int32_t mfID, const char* editName, intptr_t owner,
                          VT_EditsMessagesCallback callback) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        return mf.runs().VTi_RunEditByName(editName != nullptr ? editName : "", owner, callback);
    });
}

int32_t VTx_EditOptions(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t* options) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        int32_t word = options != nullptr ? *options : -1;
        int32_t status = mf.runs().VTi_EditOptions(hEditSet, editIndex, &word);
        if (status == 0) setIfGiven(options, word);
        return status;
    });
}

int32_t VTx_GetMessageCount(int32_t mfID, int32_t* count) {
    return dispatchOperation(mfID, 427, "VTi_GetMessageCount", [&](TMetaFile& mf) {
        setIfGiven(count, mf.runs().messageCount());
        return 0;
    });
}

int32_t VTx_GetMessageText(int32_t mfID, char* messageType, int32_t messageNumber, char* text,
                           int32_t capacity) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        char type = '\0';
        std::string message;
        int32_t status = mf.runs().VTi_GetMessageText(&type, messageNumber, &message);
        copyType(messageType, type);
        vetra::copyToCaller(text, capacity, message);
        return status;
    });
}

int32_t VTx_GetEditSetHandle(int32_t mfID, int32_t messageNumber, int32_t* hEditSet,
                             int32_t* editIndex) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) {
        int32_t handle = 0, index = 0, number = 0;
        int32_t status = mf.runs().VTi_GetEditSetHandle(messageNumber, &handle, &index, &number);
        if (status != 0) return status;
        setIfGiven(hEditSet, handle);
        setIfGiven(editIndex, index);
        return 0;
    });
}

int32_t VTx_GetMessageTextEx(int32_t mfID, char* messageType, int32_t messageNumber, char* text,
                             int32_t capacity, int32_t* ownMessageNumber, int32_t* hEditSet,
                             int32_t* editIndex, char* editName, int32_t* fieldCount) {
    return dispatchOperation(mfID, 418, "VTi_GetMessageTextEx", [&](TMetaFile& mf) {
        char type = '\0';
        std::string message;
        int32_t status = mf.runs().VTi_GetMessageText(&type, messageNumber, &message);
        copyType(messageType, type);
        vetra::copyToCaller(text, capacity, message);
        if (status != 0) return status;
        int32_t handle = 0, index = 0, number = 0;
        status = mf.runs().VTi_GetEditSetHandle(messageNumber, &handle, &index, &number);
        if (status != 0) return status;
        setIfGiven(ownMessageNumber, number);
        setIfGiven(hEditSet, handle);
        setIfGiven(editIndex, index);
        std::string name;
        vetra::EditCounters counters{};
        status = mf.editMetadata().VTi_GetEditInfoEx(handle, index, &name, &counters);
        if (status != 0) return status;
        vetra::copyToCaller(editName, 51, name);
        setIfGiven(fieldCount, counters.fieldCount);
        return 0;
    });
}

int32_t VTx_CheckFlag(int32_t mfID, int32_t* value, int32_t flagNumber) {
    return dispatchOperation(mfID, 54, "VTi_CheckFlag", [&](TMetaFile& mf) {
        int32_t flag = 0;
        int32_t status = mf.runs().flags().VTi_CheckFlag(flagNumber, &flag);
        setIfGiven(value, flag);
        return status;
    });
}

int32_t VTx_SetFlag(int32_t mfID, int32_t flagNumber, int32_t value) {
    return dispatchOperation(mfID, 446, "VTi_SetFlag", [&](TMetaFile& mf) {
        return mf.runs().flags().VTi_SetFlag(flagNumber, value);
    });
}

int32_t VTx_ClearAllFlags(int32_t mfID) {
    return dispatchOperation(mfID, 900, "VTi_intClearAllFlags", [&](TMetaFile& mf) {
        mf.runs().flags().VTi_intClearAllFlags();
        return 0;
    });
}

int32_t VTx_CountFlags(int32_t mfID, int32_t* count) {
    return dispatchOperation(mfID, 451, "VTi_CountFlags", [&](TMetaFile& mf) {
        setIfGiven(count, mf.runs().flags().VTi_CountFlags());
        return 0;
    });
}

int32_t VTx_SumFlags(int32_t mfID, int32_t* sum) {
    return dispatchOperation(mfID, 901, "VTi_intCountFlags", [&](TMetaFile& mf) {
        setIfGiven(sum, mf.runs().flags().VTi_SumFlags());
        return 0;
    });
}
