#include "TMetaFile.h"

#include "engine/api/caller_buffer.h"
#include "engine/library/local_date.h"
#include "engine/store/internal_records.h"

#include <algorithm>
#include <cstring>
#include <string>

using vetra::EngineFailure;

TMetaFile::TMetaFile(const char* path, char* version, VT_EditsMessagesCallback callback,
                     intptr_t owner)
    : path_(path != nullptr ? path : ""), editsFuncPtr_(callback), editsOwner_(owner) {
    interpreter_.setLibrary(&library_);
    interpreter_.setTracer(&tracer_);
    interpreter_.setSwitches(&variables_);
    tables_.setColumnVariables(&interpreter_);
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
    lastError_.guard(50, "MetaInit", [this] {
        memory_.reset();
        fields_.reset();
        running_ = false;
        directory_.reset();
        layouts_.reset();
        requiredVersion_ = "4.00";
        stream_.seek(0);
    });
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

void TMetaFile::VTi_Init(const char* path, char* version) {
    try {
        today_ = vetra::localDateCcyymmdd();
        memory_.reset();
        fields_.reset();
        running_ = false;
        directory_.reset();
        memory_.VTi_ReAllocMem(vetra::MemoryManager::kCreateTable, 0, 0, false,
                               vetra::MemoryManager::kOpenEntries);
        records_.reset();
        if (!stream_.open(path)) lastError_.fail(713, "VTi_Init");

        char text[4] = {};
        if (stream_.seek(41) != 0 || stream_.read(text, 4, 1) != 1 ||
            std::string_view(text, strnlen(text, 4)) != requiredVersion_)
            lastError_.fail(703, "VTi_Init");
        version_.assign(text, 4);
        if (version != nullptr) vetra::copyToCaller(version, 5, version_);

        directory_.read(tables_);
        directory_.locateInternalTables();
        // The field table needs one slot per buffer field record that the file really holds.
        const vetra::DirectoryEntry& bufferFields = directory_.internalTables().bufferFields;
        int64_t stored = bufferFields.dataLength / vetra::kBufferFieldTable.recordLength;
        fields_.create(static_cast<int32_t>(std::min<int64_t>(bufferFields.recordCount, stored)));
    } catch (...) {
        if (lastError_.code() == 0) lastError_.record(713);
        throw EngineFailure(std::to_string(lastError_.code()));
    }
}

void TMetaFile::VTi_Exit() {
    editSets_.clear();
    stream_.close();
    memory_.freeLevel(1);
    variables_.clear();
    memory_.freeLevel(100);
    memory_.freeLevel(200);
    memory_.VTi_free(vetra::MemoryManager::kTableHandle);
}

vetra::t_dbfFile* TMetaFile::OpenMetaTable(std::string_view name) {
    vetra::DirectoryEntry entry{};
    if (VTi_locMetaTbl(&entry, name) != 1) return nullptr;
    return tables_.OpenMetaTable(entry, name);
}

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
