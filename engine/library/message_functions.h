// The message, flag, output and user-function built-ins: they raise flags, add messages to the
// record's list and choose the message a failing edit reports; the console functions of the
// language are accepted and do nothing.
#pragma once

#include <cstdint>

class TMetaFile;

namespace vetra {

int32_t call_set_flag(TMetaFile& instance);
int32_t call_check_flag(TMetaFile& instance);
int32_t call_clear_all_flags(TMetaFile& instance);
int32_t call_increment_flag(TMetaFile& instance);
int32_t call_set_error(TMetaFile& instance);
int32_t call_save_error_text(TMetaFile& instance);
int32_t call_set_warning(TMetaFile& instance);
int32_t call_save_warning_text(TMetaFile& instance);
int32_t call_save_text(TMetaFile& instance);
int32_t call_error_msg(TMetaFile& instance);
int32_t call_error_text(TMetaFile& instance);

int32_t call_puts(TMetaFile& instance);
int32_t call_print(TMetaFile& instance);
int32_t call_show(TMetaFile& instance);
int32_t call_putch(TMetaFile& instance);
int32_t call_getche(TMetaFile& instance);
int32_t call_getnum(TMetaFile& instance);
int32_t call_trace(TMetaFile& instance);
int32_t call_quit(TMetaFile& instance);
int32_t call_use(TMetaFile& instance);
int32_t call_read(TMetaFile& instance);

} // namespace vetra
