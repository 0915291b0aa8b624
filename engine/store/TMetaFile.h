// TMetaFile: one open metafile and everything the engine keeps for it. Each subsystem's state
// is a member object of its own; this class composes them and carries the frame's fields
// (id, path, last engine error, messages callback, show-edit-name switch).
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/api/vetra40.h"
#include "engine/edits/choice_lists.h"
#include "engine/edits/edit_metadata.h"
#include "engine/edits/edit_runs.h"
#include "engine/edits/edit_sets.h"
#include "engine/edits/message_template.h"
#include "engine/interp/bound_field_values.h"
#include "engine/interp/engine_variables.h"
#include "engine/interp/interpreter.h"
#include "engine/library/builtin_library.h"
#include "engine/library/pattern_matcher.h"
#include "engine/records/bound_layouts.h"
#include "engine/records/field_access.h"
#include "engine/records/field_table.h"
#include "engine/records/record_slots.h"
#include "engine/store/index_search.h"
#include "engine/store/lookup_tables.h"
#include "engine/store/memory_manager.h"
#include "engine/store/metafile_directory.h"
#include "engine/store/metafile_stream.h"
#include "engine/store/table_file.h"

#include <cstdint>
#include <string>
#include <string_view>

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

    vetra::MemoryManager& memory() { return memory_; }
    vetra::MetafileStream& stream() { return stream_; }
    vetra::MetafileDirectory& directory() { return directory_; }
    vetra::TableReader& tableReader() { return tables_; }
    vetra::IndexSearch& indexSearch() { return index_; }
    vetra::LookupTables& lookupTables() { return lookups_; }
    vetra::FieldTable& fieldTable() { return fields_; }
    vetra::RecordSlots& records() { return records_; }
    vetra::BoundLayouts& layouts() { return layouts_; }
    vetra::FieldAccess& fieldAccess() { return fieldAccess_; }
    vetra::EngineVariables& variables() { return variables_; }
    vetra::EditSets& editSets() { return editSets_; }
    vetra::EditMetadata& editMetadata() { return editMetadata_; }
    vetra::MessageTemplate& messageTemplate() { return messageTemplate_; }
    vetra::ChoiceLists& choiceLists() { return choices_; }
    vetra::Interpreter& interpreter() { return interpreter_; }
    vetra::EditTracer& tracer() { return tracer_; }
    vetra::EditRuns& runs() { return runs_; }
    vetra::BuiltinLibrary& builtinLibrary() { return library_; }
    vetra::PatternMatcher& patternMatcher() { return patterns_; }
    const std::string& version() const { return version_; }
    int32_t today() const { return today_; }
    // Today as CCYYMMDD: taken at the open and again at the start of each run.
    void setToday(int32_t ccyymmdd) { today_ = ccyymmdd; }
    bool editLogicRunning() const { return running_; }

    // Opens an embedded table by its directory name ("NAME.EXT", optionally followed by a dot
    // and a column name). Null when there is no such table or it cannot be read.
    vetra::t_dbfFile* OpenMetaTable(std::string_view name);
    int VTi_locMetaTbl(vetra::DirectoryEntry* entry, std::string_view name) {
        return directory_.VTi_locMetaTbl(entry, name, running_);
    }

private:
    void VTi_Init(const char* path, char* version);
    void VTi_Exit();

    int32_t mfID_ = -1;
    std::string path_;
    vetra::LastEngineError lastError_;
    vetra::MemoryManager memory_{lastError_};
    vetra::MetafileStream stream_;
    vetra::TableReader tables_{memory_, stream_, running_};
    vetra::MetafileDirectory directory_{memory_, stream_, lastError_};
    vetra::FieldTable fields_{memory_};
    vetra::IndexSearch index_{memory_, stream_, lastError_};
    vetra::LookupTables lookups_{directory_, tables_, index_, stream_, lastError_, running_};
    vetra::RecordSlots records_{memory_};
    vetra::BoundLayouts layouts_{memory_,
                                 fields_,
                                 stream_,
                                 directory_.internalTables().catalogue,
                                 directory_.internalTables().dataDictionary,
                                 lastError_};
    vetra::FieldAccess fieldAccess_{fields_};
    vetra::EngineVariables variables_{memory_, lastError_};
    vetra::EditSets editSets_{memory_,  stream_,      directory_.internalTables(),
                              layouts_, fieldAccess_, variables_,
                              lookups_, lastError_};
    vetra::MessageTemplate messageTemplate_{layouts_, fieldAccess_, fields_, stream_};
    vetra::EditMetadata editMetadata_{
        editSets_, messageTemplate_, stream_,   directory_.internalTables(),
        layouts_,  lookups_,         lastError_};
    vetra::ChoiceLists choices_{directory_, tables_, index_, lookups_, stream_, lastError_};
    vetra::BoundFieldValues fieldValues_{layouts_, fieldAccess_};
    vetra::Interpreter interpreter_{lastError_, memory_, fieldValues_, running_, today_};
    vetra::EditTracer tracer_{editMetadata_};
    vetra::BuiltinLibrary library_{*this};
    vetra::EditRuns runs_{*this};
    vetra::PatternMatcher patterns_;
    std::string requiredVersion_;
    std::string version_;
    int32_t today_ = 0;
    bool running_ = false;
    VT_EditsMessagesCallback editsFuncPtr_ = nullptr;
    intptr_t editsOwner_ = 0;
    char showEditName_ = 0;
    bool open_ = false;
};
