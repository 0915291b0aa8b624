#include "TMetaFile.h"

#include <string>

using vetra::EngineFailure;

TMetaFile::TMetaFile(const char* path, char* version, VT_EditsMessagesCallback callback,
                     intptr_t owner)
    : path_(path != nullptr ? path : ""), editsFuncPtr_(callback), editsOwner_(owner) {
    try {
        MetaInit();
    } catch (...) {
        lastError_.fail(713, "MetaInit");
    }
    VTi_Init(path_.c_str(), version);
    open_ = true;
}

TMetaFile::~TMetaFile() {
    close();
}

void TMetaFile::MetaInit() {
    lastError_.guard(50, "MetaInit", [] {});
}

const char* TMetaFile::VTi_GetMetaFileName() const {
    return path_.c_str();
}

int32_t TMetaFile::VTi_GetmfID() const {
    return mfID_;
}

void TMetaFile::VTi_SetmfID(int32_t id) {
    if (mfID_ == -1) mfID_ = id;
}

void TMetaFile::VTi_SetEditsMessagesCallback(intptr_t owner, VT_EditsMessagesCallback callback) {
    editsOwner_ = owner;
    editsFuncPtr_ = callback;
}

void TMetaFile::VTi_Init(const char*, char*) {
    // Metafiles cannot be read yet: every open fails as a file that cannot be opened.
    lastError_.record(713);
    throw EngineFailure(std::to_string(713));
}

void TMetaFile::VTi_Exit() {}

int32_t TMetaFile::close() noexcept {
    if (!open_) return 0;
    open_ = false;
    try {
        lastError_.guard(711, "VTi_Exit", [this] { VTi_Exit(); });
        return 0;
    } catch (...) {
        return lastError_.code();
    }
}
