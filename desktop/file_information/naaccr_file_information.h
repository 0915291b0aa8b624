// The NAACCR file-information library libkznaaccr.so: two C entry points that the desktop
// program resolves by name. It links nothing but the standard library, so any host can load it.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// What kzGet_kznaaccr_dll_info writes. Callers may pass any zeroed block of at least this size
// (112 bytes); both texts are NUL-terminated within their fields.
struct kznaaccr_dll_info {
    char version[16];
    char description[96];
};

// What kzGet_naaccr_file_info reads from the first record of a NAACCR fixed-width data file.
struct kznaaccr_file_info {
    char record_type;       // column 1; '\0' when the file is empty
    char naaccr_version[4]; // columns 17 to 19, NUL-terminated; empty when the line is shorter
    int64_t record_length;  // the first line's length, its line feed included
};

// Fills `record` (a struct kznaaccr_dll_info or a larger zeroed block). Returns 0; -1 when
// `record` is null.
int kzGet_kznaaccr_dll_info(void* record);

// Reads the first line of the file at `path`: up to and including its first line feed, at most
// KZNAACCR_MAX_LINE characters. Returns 0 when the line holds a version (19 characters or
// more), 1 when it is shorter (record type and length are still filled), -1 when an argument is
// null or the file cannot be read.
#define KZNAACCR_MAX_LINE 199999
int kzGet_naaccr_file_info(const char* path, struct kznaaccr_file_info* info);

#ifdef __cplusplus
}
#endif
