/*
 * check_record - a small host program of the VETRA40 engine, in C.
 *
 * It opens a metafile, binds a record layout to a record buffer, loads one edit set, runs it
 * over each record (line) of a NAACCR data file and prints the messages of every failing
 * record, then closes the metafile. Build it against an installed engine with
 *
 *     cc check_record.c $(pkg-config --cflags --libs vetra40) -o check_record
 *
 * Usage: check_record METAFILE LAYOUT EDITSET DATAFILE
 */
#define _POSIX_C_SOURCE 200809L /* getline */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vetra40.h>

/* The engine writes names and texts into buffers the host sizes; these are ample. */
enum { NAME_SIZE = 256, MESSAGE_SIZE = 2000 };

static int report_failure(const char* call, int32_t status) {
    char message[NAME_SIZE] = "";
    VTerr_GetEngineErrorMessage(status, message, sizeof message, NULL, 0);
    fprintf(stderr, "check_record: %s: engine error %d: %s\n", call, (int)status, message);
    return status;
}

/* The record length of the layout called `layout`, or 0 when the metafile has none. */
static int32_t layout_length(int32_t id, const char* layout) {
    int32_t count = 0;
    if (VTx_GetRecordLayoutCount(id, &count) != 0) return 0;
    for (int32_t ordinal = 1; ordinal <= count; ++ordinal) {
        char name[NAME_SIZE] = "";
        int32_t length = 0;
        if (VTx_GetRecordLayoutName(id, ordinal, name, &length) == 0 && strcmp(name, layout) == 0)
            return length;
    }
    return 0;
}

/* Each message names the edit that gave it: the edit set and the edit's index in it. */
static void print_messages(int32_t id, long record, int32_t count) {
    for (int32_t number = 1; number <= count; ++number) {
        char type[8] = "", text[MESSAGE_SIZE] = "", edit[NAME_SIZE] = "";
        int32_t set = 0, index = 0;
        VTx_GetEditSetHandle(id, number, &set, &index);
        VTx_GetEditName(id, set, index, edit);
        VTx_GetMessageText(id, type, number, text, sizeof text);
        printf("record %ld: %c %s: %s\n", record, type[0], edit, text);
    }
}

/* Runs the edit set over every line of `data`; returns 0 or the engine's error. */
static int32_t check_records(int32_t id, int32_t record, int32_t editSet, FILE* data) {
    char* line = NULL;
    size_t size = 0;
    long records = 0, failed = 0, messages = 0;
    int32_t status = 0;
    while (status == 0 && getline(&line, &size, data) != -1) {
        line[strcspn(line, "\r\n")] = '\0';
        ++records;
        int32_t count = 0;
        /* Flags carry the failures of one record from edit to edit: clear them first. */
        VTx_ClearAllFlags(id);
        status = VTx_UpdateRecord(id, record, line);
        if (status != 0) break;
        status = VTx_RunBatch(id, editSet, VT_SKIPFAIL, &count, 0, NULL);
        if (status != 0 || count == 0) continue;
        ++failed;
        messages += count;
        print_messages(id, records, count);
    }
    free(line);
    if (status != 0) return report_failure("running the edits", status);
    printf("checked %ld records: %ld failed, %ld messages\n", records, failed, messages);
    return 0;
}

static int32_t check(int32_t id, const char* layout, const char* editSetName, FILE* data) {
    const int32_t length = layout_length(id, layout);
    if (length == 0) {
        fprintf(stderr, "check_record: the metafile has no layout \"%s\"\n", layout);
        return 1;
    }
    int32_t record = 0, editSet = 0, loadStatus = 0, status = 0;
    if ((status = VTx_AllocRecord(id, length, &record)) != 0)
        return report_failure("VTx_AllocRecord", status);
    if ((status = VTx_InitRecordLayout(id, record, layout)) != 0)
        return report_failure("VTx_InitRecordLayout", status);
    if ((status = VTx_LoadEditSet(id, &editSet, editSetName, &loadStatus, 1)) != 0)
        return report_failure("VTx_LoadEditSet", status);
    status = check_records(id, record, editSet, data);
    VTx_FreeEditSet(id, editSet);
    VTx_FreeRecord(id, record);
    return status;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "Usage: check_record METAFILE LAYOUT EDITSET DATAFILE\n");
        return 2;
    }
    FILE* data = fopen(argv[4], "r");
    if (data == NULL) {
        perror(argv[4]);
        return 2;
    }
    int32_t id = -1;
    char version[NAME_SIZE] = "";
    const int32_t status = VTx_Init(&id, argv[1], version, 0, NULL);
    if (status != 0) {
        fclose(data);
        return report_failure("VTx_Init", status) != 0;
    }
    const int32_t checked = check(id, argv[2], argv[3], data);
    VTx_Exit(id);
    fclose(data);
    return checked == 0 ? 0 : 1;
}
