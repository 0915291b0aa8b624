// TMetaFile: one open metafile and everything the engine keeps for it. Each subsystem's state
// is a member object of its own; this class composes them and carries the frame's fields
// (id, path, last engine error, messages callback, show-edit-name switch).
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/api/vetra40.h"

#include <cstdint>
#include <string>

class TMetaFile {
public:
    // Opens and validates the metafile. Fails with an EngineFailure whose text is the decimal
    // failure code, or a name when setting up the instance itself failed (code 713).
    TMetaFile(const char* path, char* version, VT_EditsMessagesCallback callback, intptr_t owner);
    virtual ~TMetaFile();

    TMetaFile(const TMetaFile&) = delete;
    TMetaFile& operator=(const TMetaFile&) = delete;

    // Resets the instance's tables to their initial state.
    VT_API void MetaInit();
    VT_API const char* VTi_GetMetaFileName() const;
    VT_API int32_t VTi_GetmfID() const;
    // Assigns the id once; later assignments are ignored.
    VT_API void VTi_SetmfID(int32_t id);

    // Closes the metafile and frees the instance's memory; 0, or the close failure's code.
    // The destructor closes an instance that is still open.
    int32_t close() noexcept;

    void VTi_SetLastEngineError(int32_t code) { lastError_.record(code); }
    vetra::LastEngineError& lastError() { return lastError_; }
    int32_t lastEngineError() const { return lastError_.code(); }

    char showEditName() const { return showEditName_; }
    void setShowEditName(int32_t value) { showEditName_ = static_cast<char>(value & 0xFF); }

    void VTi_SetEditsMessagesCallback(intptr_t owner, VT_EditsMessagesCallback callback);
    intptr_t editsOwner() const { return editsOwner_; }
    VT_EditsMessagesCallback editsFuncPtr() const { return editsFuncPtr_; }

private:
    void VTi_Init(const char* path, char* version);
    void VTi_Exit();

    int32_t mfID_ = -1;
    std::string path_;
    vetra::LastEngineError lastError_;
    VT_EditsMessagesCallback editsFuncPtr_ = nullptr;
    intptr_t editsOwner_ = 0;
    char showEditName_ = 0;
    bool open_ = false;
};
