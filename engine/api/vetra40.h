/*
 * vetra40.h - the C interface of the VETRA40 edits engine.
 *
 * A host opens a metafile with VTx_Init and receives a metafile id (mfID); every later VTx_
 * call names that id first. Each VT_ function is the VTx_ function of the same name bound to
 * metafile id 0. VTerr_ functions need no open metafile.
 *
 * Types on this platform: statuses, ids, handles, counts and flags are int32_t; texts are
 * 8-bit, NUL-terminated char buffers that the caller owns and sizes; owner values are
 * intptr_t, so a host can pass the address of its own object and receive it back in its
 * callbacks; callbacks are plain C function pointers, called synchronously inside the engine
 * call that triggers them. Every function returns 0 on success or a code of the engine error
 * catalogue (see VTerr_GetEngineErrorMessage); -2 means the id names no open metafile and -3
 * an undocumented failure.
 *
 * Threads. A host may use the engine from several threads at once on these terms:
 *  - Each open metafile instance (each mfID) belongs to one thread at a time. Calls naming
 *    different instances may run at the same time on different threads; calls naming the
 *    same instance must not overlap, and the host must not close an instance (VTx_Exit) while
 *    another thread may still call it. To check records on N threads, open the metafile N
 *    times and give each thread its own mfID, record handle and edit set handles.
 *  - VTx_Init, VTx_Exit, VTx_GetmfIDList, VTx_GetOpenFileList, VTx_GetVersion and the VTerr_
 *    functions may be called from any thread at any time; instances opened at the same time
 *    on different threads receive distinct ids. The names VTx_GetOpenFileList gives stay
 *    readable after their instances close.
 *  - VT_ functions all name id 0, so they are one instance: one thread at a time. VT_Init
 *    opens id 0 only when it is free; two threads calling it at once may open two instances.
 *  - Callbacks run on the thread that made the engine call that triggers them, and must not
 *    start another run on the same instance.
 *  - External libraries called by edit logic (externaldll) are loaded once for the process;
 *    a library used by instances on several threads must itself be safe to call from them.
 *  - Engine variables (VTx_SetVar, setvar) and flags belong to their instance; nothing of one
 *    instance is seen by another.
 * A host that calls the engine from one thread sees no difference.
 *
 * Limits of edit logic. No stored logic can hang or crash a host: one run of an edit's logic
 * (one edit on one record) may read at most 50,000,000 tokens of its compiled text, and its
 * blocks and expressions may nest at most 256 deep; a run that goes beyond either, or divides
 * by zero, or writes a character through an integer that addresses no text, ends with engine
 * error 474 and a last engine error text that says which (VTx_GetMessageText with message
 * number -1). Texts in edit logic are 32-bit values that address the engine's own blocks;
 * one that addresses no block reads as an empty text. An array that edit logic declares
 * holds at most 65,536 bytes (a char array 65,536 elements, an int array 32,768); a larger
 * one fails with engine error 2001 like one the memory cannot hold, so that no text an edit
 * works on is longer, and no built-in function spends longer on one.
 *
 * Bounds per token and per run. The work of each token, a built-in call included, is bounded
 * by the sizes of its arguments (texts of at most 65,536 bytes, most built-ins working on
 * their first 80 characters; fmtstr refuses with 2064 a field wider than its 511-character
 * output) and of the metafile it reads (a lookup reads at most its table once; an index walk
 * visits no more nodes than the metafile holds); pattern matching tries each part of a
 * pattern at most once per position; engine variables, local variables and memory blocks
 * are found through indexes, never by scanning all of them. Memory: an instance holds at
 * most 1 GiB in at most 1,048,576 blocks (engine error 3001 or 3000 beyond), of which at most
 * 65,536 are engine variables (VTx_SetVar and setvar fail with 449 beyond, the last engine
 * error text saying so); a run's temporary blocks go when the run ends.
 *
 * Translated logic. Each instance translates an edit's compiled logic the first time it runs
 * it and keeps the translation (decoded tokens, the variables its names find, its expressions
 * as small trees) for every later record; the translation belongs to the instance, like its
 * records and edit sets. Results are the same as reading the compiled text token by token,
 * which the engine still does for edit debugging (VTx_SetDebug), for logic longer than
 * 256 KiB, and for every run while the engine variable _REFERENCE_INTERPRETER is "1" (set
 * with VTx_SetVar; any other value, or deleting it, switches back) or the process was started
 * with the environment variable VETRA_REFERENCE_INTERPRETER=1: verdicts, messages, flags,
 * field writes, engine variables, error codes and texts and the tokens a run counts are the
 * same either way. The token budget counts, on both paths, the tokens the token-by-token
 * reading reads, put-back tokens read again included: a translated expression adds the
 * count of the tokens it stands for, so a run ends by the budget at the same check with the
 * same text. An instance keeps at most 64 MiB of translations.
 *
 * External libraries. Edit logic may call a function of an external library by name
 * (externaldll). A metafile may come from anyone, so no library loads unless the host allows
 * it: the engine variable _EXTERNALDLL_FOLDERS (set with VTx_SetVar; edit logic cannot set
 * it) lists the allowed folders separated by ':', relative ones counting from the metafile's
 * folder; while it is unset or empty, no library loads at all. The name an edit gives must be
 * a file name ending in ".so" (a name ending in ".dll" stands for NAME.so, libNAME.so and
 * libname.so) and is looked up directly in each allowed folder in turn; the first file found
 * decides. It loads only when the folder and the file belong to the host's user or root and
 * neither is writable by group or others, the file is a regular file and not a symbolic
 * link, and it is not the metafile itself; the file is checked on its open descriptor and
 * loaded through that descriptor, never through the system's library search path. Any other
 * library is refused: the edit fails with engine error 526 and the last engine error text
 * says why. A library must export EditsInterface or _EditsInterface, taking eleven
 * pointer-sized integers (the address of the command text, then ten arguments) and
 * returning int32_t; it stays loaded until the engine is unloaded.
 */
#ifndef VETRA40_H
#define VETRA40_H

#include <stdint.h>

#define VT_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Receives each message the engine adds to a record's message list, and each edit
 * announcement of a batch run. */
typedef void (*VT_EditsMessagesCallback)(intptr_t owner, const char* text);

/* Receives, for VTx_CheckEditSetAgainstLayout, each field that an edit uses and the bound
 * layout lacks. */
typedef void (*VT_CheckFieldCallback)(intptr_t owner, int32_t localNumber, const char* fieldName,
                                      const char* editName);

/* Debugging callbacks of VTx_SetDebug: one variable after an executed line with the loop
 * iteration (-1 outside loops), and texts for fields, source lines and messages. A source
 * line reads "%3i: " followed by a marker and the rendered line: the marker is the single
 * byte 0xBB for a line reached by execution and a blank for one passed over. The byte is
 * kept as it is, not translated to a character set: a UTF-8 host shows it as U+00BB. */
typedef void (*VT_DebugVariableCallback)(intptr_t owner, const char* text, int32_t iteration);
typedef void (*VT_DebugTextCallback)(intptr_t owner, const char* text);

/* Run flags and per-edit option bits. */
#define VT_SKIPEMPTY 0x01
#define VT_SKIPFAIL 0x02
#define VT_ALLFIELDEDITS 0x04
#define VT_SUPPRESS 0x08
#define VT_SUPPRESSWARNINGS 0x80

/* Frame */
VT_API int32_t VTx_Init(int32_t* mfID, const char* path, char* version, intptr_t owner,
                        VT_EditsMessagesCallback callback);
VT_API int32_t VT_Init(const char* path, char* version);
VT_API int32_t VTx_Exit(int32_t mfID);
VT_API int32_t VT_Exit(void);
VT_API int32_t VTx_GetLastEngineError(int32_t mfID);
VT_API int32_t VTx_GetOpenFileList(const char** names, int32_t n);
VT_API int32_t VTx_GetmfIDList(int32_t* ids, int32_t n);
VT_API int32_t VTx_GetVersion(char* buffer, int32_t length);
VT_API int32_t VTx_GetShowEditName(int32_t mfID, char* value);
VT_API int32_t VTx_SetShowEditName(int32_t mfID, int32_t value);
VT_API int32_t VTx_SetEditsMessagesCallback(int32_t mfID, intptr_t owner,
                                            VT_EditsMessagesCallback callback);

/* Record buffers and field values */
VT_API int32_t VTx_AllocRecord(int32_t mfID, int32_t recordLength, int32_t* hRecord);
VT_API int32_t VT_AllocRecord(int32_t recordLength, int32_t* hRecord);
VT_API int32_t VTx_FreeRecord(int32_t mfID, int32_t hRecord);
VT_API int32_t VT_FreeRecord(int32_t hRecord);
VT_API int32_t VTx_RetrieveRecord(int32_t mfID, int32_t hRecord, char* buffer);
VT_API int32_t VT_RetrieveRecord(int32_t hRecord, char* buffer);
VT_API int32_t VTx_SetRecord(int32_t mfID, int32_t hRecord, char fill);
VT_API int32_t VT_SetRecord(int32_t hRecord, char fill);
VT_API int32_t VTx_UpdateRecord(int32_t mfID, int32_t hRecord, const char* text);
VT_API int32_t VT_UpdateRecord(int32_t hRecord, const char* text);
VT_API int32_t VTx_UpdateRecordEx(int32_t mfID, int32_t hRecord, const char* text,
                                  int32_t firstColumn, int32_t width);
VT_API int32_t VT_UpdateRecordEx(int32_t hRecord, const char* text, int32_t firstColumn,
                                 int32_t width);
VT_API int32_t VTx_UpdateField(int32_t mfID, int32_t hField, const char* value,
                               const char* dateFormat);
VT_API int32_t VT_UpdateField(int32_t hField, const char* value, const char* dateFormat);
VT_API int32_t VTx_RecWritten(int32_t mfID, const char* layoutName, int32_t* written);
VT_API int32_t VT_RecWritten(const char* layoutName, int32_t* written);
VT_API int32_t VTx_RecWriteClear(int32_t mfID, const char* layoutName);
VT_API int32_t VT_RecWriteClear(const char* layoutName);
VT_API int32_t VT_GetRecordPtr(int32_t ignored);

/* Record layouts and fields */
VT_API int32_t VTx_GetRecordLayoutCount(int32_t mfID, int32_t* count);
VT_API int32_t VT_GetRecordLayoutCount(int32_t* count);
VT_API int32_t VTx_GetRecordLayoutName(int32_t mfID, int32_t ordinal, char* name,
                                       int32_t* recordLength);
VT_API int32_t VT_GetRecordLayoutName(int32_t ordinal, char* name, int32_t* recordLength);
VT_API int32_t VTx_GetRecordLayoutDescript(int32_t mfID, const char* layoutName,
                                           int32_t bufferLength, int32_t* textLength, char* text);
VT_API int32_t VTx_InitRecordLayout(int32_t mfID, int32_t hRecord, const char* layoutName);
VT_API int32_t VT_InitRecordLayout(int32_t hRecord, const char* layoutName);
VT_API int32_t VTx_InitAltRecordLayout(int32_t mfID, int32_t hRecord, const char* layoutName);
VT_API int32_t VT_InitAltRecordLayout(int32_t hRecord, const char* layoutName);
VT_API int32_t VTx_FreeRecordLayout(int32_t mfID, const char* layoutName);
VT_API int32_t VT_FreeRecordLayout(const char* layoutName);
VT_API int32_t VTx_GetRecordLayoutInit(int32_t mfID, const char* layoutName, int32_t* fieldCount);
VT_API int32_t VT_GetRecordLayoutInit(const char* layoutName, int32_t* fieldCount);
VT_API int32_t VTx_GetRecordLayoutField(int32_t mfID, int32_t* firstColumn, int32_t* localNumber,
                                        char* shortName, char* longName, char* typeCode,
                                        char* thirdName, int32_t* length, int32_t* hField);
VT_API int32_t VT_GetRecordLayoutField(int32_t* firstColumn, int32_t* localNumber, char* shortName,
                                       char* longName, char* typeCode, char* thirdName,
                                       int32_t* length, int32_t* hField);
VT_API int32_t VTx_RecordLayoutOptions(int32_t mfID, const char* layoutName, int32_t* options);
VT_API int32_t VT_RecordLayoutOptions(const char* layoutName, int32_t* options);
VT_API int32_t VTx_FieldHandle(int32_t mfID, const char* name, const char* nameKind,
                               const char* layoutName);
VT_API int32_t VT_FieldHandle(const char* name, const char* nameKind, const char* layoutName);
VT_API int32_t VTx_FieldHandleByLocal(int32_t mfID, int32_t localNumber, const char* layoutName);
VT_API int32_t VT_FieldHandleByLocal(int32_t localNumber, const char* layoutName);
VT_API int32_t VTx_FieldName(int32_t mfID, int32_t hField, const char* nameKind, char* name);
VT_API int32_t VT_FieldName(int32_t hField, const char* nameKind, char* name);
VT_API int32_t VTx_FieldOptions(int32_t mfID, int32_t hField, int32_t* options);
VT_API int32_t VT_FieldOptions(int32_t hField, int32_t* options);
VT_API int32_t VTx_LocalNumFromHnd(int32_t mfID, int32_t hField);
VT_API int32_t VT_LocalNumFromHnd(int32_t hField);
VT_API int32_t VTx_CheckEditSetAgainstLayout(int32_t mfID, int32_t hEditSet, intptr_t owner,
                                             VT_CheckFieldCallback callback);
VT_API int32_t VTx_GetEditSetCount(int32_t mfID, int32_t* count);
VT_API int32_t VT_GetEditSetCount(int32_t* count);
VT_API int32_t VTx_GetEditSetName(int32_t mfID, int32_t ordinal, char* name);
VT_API int32_t VT_GetEditSetName(int32_t ordinal, char* name);
VT_API int32_t VTx_GetEditSetDescript(int32_t mfID, const char* editSetName, int32_t bufferLength,
                                      int32_t* textLength, char* text);

/* Edit sets and edit metadata */
VT_API int32_t VTx_LoadEditSet(int32_t mfID, int32_t* hEditSet, const char* editSetName,
                               int32_t* loadStatus, int32_t option);
VT_API int32_t VT_LoadEditSet(int32_t* hEditSet, const char* editSetName, int32_t* loadStatus,
                              int32_t option);
VT_API int32_t VTx_FreeEditSet(int32_t mfID, int32_t hEditSet);
VT_API int32_t VT_FreeEditSet(int32_t hEditSet);
VT_API int32_t VTx_GetEditSetSize(int32_t mfID, int32_t hEditSet, int32_t* editCount);
VT_API int32_t VT_GetEditSetSize(int32_t hEditSet, int32_t* editCount);
VT_API int32_t VTx_GetEditSetInfo(int32_t mfID, int32_t hEditSet, char* name, int32_t* editCount,
                                  int32_t* runFlags, int32_t* runField);
VT_API int32_t VT_GetEditSetInfo(int32_t hEditSet, char* name, int32_t* editCount,
                                 int32_t* runFlags, int32_t* runField);
VT_API int32_t VTx_GetEditHandle(int32_t mfID, int32_t hEditSet, int32_t* editIndex,
                                 const char* editName);
VT_API int32_t VT_GetEditHandle(int32_t hEditSet, int32_t* editIndex, const char* editName);
VT_API int32_t VTx_GetEditName(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* name);
VT_API int32_t VT_GetEditName(int32_t hEditSet, int32_t editIndex, char* name);
VT_API int32_t VTx_GetEditInfo(int32_t mfID, int32_t hEditSet, int32_t editIndex,
                               const char* templateText, char* text, int32_t capacity);
VT_API int32_t VT_GetEditInfo(int32_t hEditSet, int32_t editIndex, const char* templateText,
                              char* text, int32_t capacity);
VT_API int32_t VTx_GetEditInfoEx(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* name,
                                 int32_t* fieldCount, int32_t* statusBits, int32_t* options,
                                 int32_t* errorCount, int32_t* warningCount, int32_t* skipCount);
VT_API int32_t VT_GetEditInfoEx(int32_t hEditSet, int32_t editIndex, char* name,
                                int32_t* fieldCount, int32_t* statusBits, int32_t* options,
                                int32_t* errorCount, int32_t* warningCount, int32_t* skipCount);
VT_API int32_t VTx_GetEditCounts(int32_t mfID, int32_t hEditSet, int32_t editIndex,
                                 int32_t* fieldCount, int32_t* errorCount, int32_t* warningCount,
                                 int32_t* skipCount);
VT_API int32_t VT_GetEditCounts(int32_t hEditSet, int32_t editIndex, int32_t* fieldCount,
                                int32_t* errorCount, int32_t* warningCount, int32_t* skipCount);
VT_API int32_t VTx_GetEditDescript(int32_t mfID, int32_t hEditSet, int32_t editIndex,
                                   int32_t lineWidth, int32_t capacity, int32_t* length, char* text,
                                   int32_t mode);
VT_API int32_t VT_GetEditDescript(int32_t hEditSet, int32_t editIndex, int32_t lineWidth,
                                  int32_t capacity, int32_t* length, char* text, int32_t mode);
VT_API int32_t VTx_GetEditHelp(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t lineWidth,
                               int32_t capacity, int32_t* length, char* text, int32_t mode);
VT_API int32_t VT_GetEditHelp(int32_t hEditSet, int32_t editIndex, int32_t lineWidth,
                              int32_t capacity, int32_t* length, char* text, int32_t mode);
VT_API int32_t VTx_GetMemoSize(int32_t mfID, int32_t memoKind, const char* name, int32_t* size);
VT_API int32_t VTx_GetEditLogic(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t capacity,
                                const char* lineSeparator, int32_t* length, char* text);
VT_API int32_t VT_GetEditLogic(int32_t hEditSet, int32_t editIndex, int32_t capacity,
                               const char* lineSeparator, int32_t* length, char* text);
VT_API int32_t VTx_GetEncodedEdit(int32_t mfID, int32_t hEditSet, int32_t editIndex, char* buffer,
                                  int32_t bufferLength, char* name, int32_t nameLength);
VT_API int32_t VTx_EditOptions(int32_t mfID, int32_t hEditSet, int32_t editIndex, int32_t* options);
VT_API int32_t VT_EditOptions(int32_t hEditSet, int32_t editIndex, int32_t* options);

/* Edit execution, messages and flags */
VT_API int32_t VTx_RunBatch(int32_t mfID, int32_t hEditSet, int32_t runFlags, int32_t* messageCount,
                            intptr_t owner, VT_EditsMessagesCallback callback);
VT_API int32_t VT_RunBatch(int32_t hEditSet, int32_t runFlags, int32_t* messageCount);
VT_API int32_t VTx_RunSingle(int32_t mfID, int32_t hEditSet, int32_t localNumber, int32_t runFlags,
                             int32_t* messageCount, intptr_t owner,
                             VT_EditsMessagesCallback callback);
VT_API int32_t VT_RunSingle(int32_t hEditSet, int32_t localNumber, int32_t runFlags,
                            int32_t* messageCount);
VT_API int32_t VTx_RunEditByName(int32_t mfID, const char* editName, intptr_t owner,
                                 VT_EditsMessagesCallback callback);
VT_API int32_t VT_RunEditByName(const char* editName);
VT_API int32_t VTx_SetDebug(int32_t mfID, const char* editName, intptr_t owner,
                            VT_DebugVariableCallback variableCallback,
                            VT_DebugTextCallback fieldCallback, VT_DebugTextCallback lineCallback,
                            VT_DebugTextCallback messageCallback);
VT_API int32_t VTx_GetMessageCount(int32_t mfID, int32_t* count);
VT_API int32_t VT_GetMessageCount(int32_t* count);
VT_API int32_t VTx_GetEditSetHandle(int32_t mfID, int32_t messageNumber, int32_t* hEditSet,
                                    int32_t* editIndex);
VT_API int32_t VT_GetEditSetHandle(int32_t messageNumber, int32_t* hEditSet, int32_t* editIndex);
VT_API int32_t VTx_GetMessageText(int32_t mfID, char* messageType, int32_t messageNumber,
                                  char* text, int32_t capacity);
VT_API int32_t VT_GetMessageText(char* messageType, int32_t messageNumber, char* text,
                                 int32_t capacity);
VT_API int32_t VTx_GetMessageTextEx(int32_t mfID, char* messageType, int32_t messageNumber,
                                    char* text, int32_t capacity, int32_t* ownMessageNumber,
                                    int32_t* hEditSet, int32_t* editIndex, char* editName,
                                    int32_t* fieldCount);
VT_API int32_t VT_GetMessageTextEx(char* messageType, int32_t messageNumber, char* text,
                                   int32_t capacity, int32_t* ownMessageNumber, int32_t* hEditSet,
                                   int32_t* editIndex, char* editName, int32_t* fieldCount);
VT_API int32_t VTx_CheckFlag(int32_t mfID, int32_t* value, int32_t flagNumber);
VT_API int32_t VT_CheckFlag(int32_t* value, int32_t flagNumber);
VT_API int32_t VTx_SetFlag(int32_t mfID, int32_t flagNumber, int32_t value);
VT_API int32_t VT_SetFlag(int32_t flagNumber, int32_t value);
VT_API int32_t VTx_ClearAllFlags(int32_t mfID);
VT_API int32_t VT_ClearAllFlags(void);
VT_API int32_t VTx_CountFlags(int32_t mfID, int32_t* count);
VT_API int32_t VT_CountFlags(int32_t* count);
VT_API int32_t VTx_SumFlags(int32_t mfID, int32_t* sum);
VT_API int32_t VT_SumFlags(int32_t* sum);

/* Choice lists; widths: byte 0 is the number of columns, bytes 1 to n their widths */
VT_API int32_t VTx_InitChoices(int32_t mfID, const char* tableSpecification, const char* startKey,
                               unsigned char* widths, int32_t* totalWidth, int32_t* entryCount);
VT_API int32_t VT_InitChoices(const char* tableSpecification, const char* startKey,
                              unsigned char* widths, int32_t* totalWidth, int32_t* entryCount);
VT_API int32_t VTx_InitFieldChoices(int32_t mfID, int32_t localNumber, const char* startKey,
                                    unsigned char* widths, int32_t* totalWidth,
                                    int32_t* entryCount);
VT_API int32_t VT_InitFieldChoices(int32_t localNumber, const char* startKey, unsigned char* widths,
                                   int32_t* totalWidth, int32_t* entryCount);
VT_API int32_t VTx_GetChoices(int32_t mfID, char* rows, int32_t step, int32_t wanted,
                              int32_t* delivered);
VT_API int32_t VT_GetChoices(char* rows, int32_t step, int32_t wanted, int32_t* delivered);
VT_API int32_t VTx_FreeChoices(int32_t mfID);
VT_API int32_t VT_FreeChoices(void);

/* Engine variables */
VT_API int32_t VTx_GetVar(int32_t mfID, const char* name, char* value);
VT_API int32_t VT_GetVar(const char* name, char* value);
VT_API int32_t VTx_GetVarIndex(int32_t mfID, const char* name, int32_t index, char* value);
VT_API int32_t VT_GetVarIndex(const char* name, int32_t index, char* value);
VT_API int32_t VTx_GetVarSize(int32_t mfID, const char* name, int32_t* size);
VT_API int32_t VT_GetVarSize(const char* name, int32_t* size);
VT_API int32_t VTx_SetVar(int32_t mfID, const char* name, const char* value);
VT_API int32_t VT_SetVar(const char* name, const char* value);
VT_API int32_t VTx_SetVarIndex(int32_t mfID, const char* name, const char* value, int32_t index);
VT_API int32_t VT_SetVarIndex(const char* name, const char* value, int32_t index);

/* Error catalogue (no metafile id) */
VT_API int32_t VTerr_GetEngineErrorMessage(int32_t code, char* message, int32_t messageLength,
                                           char* function, int32_t functionLength);
VT_API int32_t VTerr_ExportErrorList(const char* path);
VT_API int32_t VTi_GetEngineErrorMessage(int32_t code, char* message, int32_t messageLength,
                                         char* function, int32_t functionLength);
VT_API int32_t VTi_ExportErrorList(const char* path);

#ifdef __cplusplus
}
#endif

#endif
