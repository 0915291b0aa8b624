#include "message_functions.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"

#include <string>

namespace vetra {

namespace {

constexpr size_t kTextOverride = 80;
constexpr uint8_t kTextMessage = 1;

enum class ListAction { IncrementFlag, SaveText, SetAndSave };

bool isTextToken(const TokenRecord& token) {
    return token.kind == kStringLiteral || token.kind == kFieldReference;
}

// Passes over the arguments up to the call's closing parenthesis without evaluating them.
void skipArguments(TokenReader& tokens) {
    for (int depth = 1; depth > 0;) {
        tokens.VTi_GetToken();
        const TokenRecord& token = tokens.token();
        if (token.kind == kPunctuation && token.code == kEndCode) return;
        if (token.kind == kPunctuation && token.code == '(') ++depth;
        if (token.kind == kPunctuation && token.code == ')') --depth;
    }
}

// increment_flag, set_error, save_error_text, set_warning and save_warning_text.
int32_t process_error_list(TMetaFile& instance, ListAction action, uint8_t type) {
    return guarded(instance, 484, "process_error_list", [&](ArgumentReader& arguments) {
        arguments.open(2026, "process_error_list");
        TokenReader& tokens = arguments.interpreter().tokens();
        EditRuns& runs = instance.runs();
        if (type == kWarningMessage && runs.current().warningsSuppressed) {
            skipArguments(tokens);
            return 1;
        }
        int32_t& override = runs.current().messageOverride;
        for (;;) {
            tokens.VTi_GetToken();
            if (tokens.token().kind == kStringLiteral)
                instance.lastError().fail(2028, "process_error_list");
            if (tokens.token().text[0] == ')') break;
            tokens.putBack();
            int32_t number = arguments.count();
            int32_t saved = override;
            override = 0;
            if (action != ListAction::SaveText) runs.flags().increment(number);
            if (action != ListAction::IncrementFlag) {
                MessageRecord record = runs.current().record;
                record.messageNumber = number;
                runs.addMessage(runs.VTi_GetMessage(record, 2, EditRuns::kMessageCapacity), type,
                                number);
            }
            override = saved;
            if (!arguments.another(2027, "process_error_list")) break;
        }
        return 1;
    });
}

} // namespace

int32_t call_set_flag(TMetaFile& instance) {
    return guarded(instance, 481, "call_set_flag", [&](ArgumentReader& arguments) {
        arguments.open(2021, "call_set_flag");
        int32_t flag = arguments.numberOrText();
        arguments.comma();
        int32_t value = arguments.numberOrText();
        arguments.close();
        instance.runs().flags().VTi_SetFlag(flag, value);
        return 0;
    });
}

int32_t call_check_flag(TMetaFile& instance) {
    return guarded(instance, 483, "call_check_flag", [&](ArgumentReader& arguments) {
        arguments.open(2023, "call_check_flag");
        TokenReader& tokens = arguments.interpreter().tokens();
        bool set = false;
        for (;;) {
            tokens.VTi_GetToken();
            if (tokens.token().kind == kStringLiteral)
                instance.lastError().fail(2025, "call_check_flag");
            if (tokens.token().text[0] == ')') break;
            tokens.putBack();
            int32_t value = 0;
            // A number outside the readable flags counts as set.
            if (instance.runs().flags().VTi_CheckFlag(arguments.count(), &value) != 0 || value != 0)
                set = true;
            if (!arguments.another(2024, "call_check_flag")) break;
        }
        return set ? -1 : 0;
    });
}

int32_t call_clear_all_flags(TMetaFile& instance) {
    return guarded(instance, 482, "call_clear_all_flags", [&](ArgumentReader& arguments) {
        arguments.open(2022, "call_clear_all_flags");
        arguments.close();
        instance.runs().flags().VTi_intClearAllFlags();
        return 0;
    });
}

int32_t call_increment_flag(TMetaFile& instance) {
    return process_error_list(instance, ListAction::IncrementFlag, kErrorMessage);
}
int32_t call_set_error(TMetaFile& instance) {
    return process_error_list(instance, ListAction::SetAndSave, kErrorMessage);
}
int32_t call_save_error_text(TMetaFile& instance) {
    return process_error_list(instance, ListAction::SaveText, kErrorMessage);
}
int32_t call_set_warning(TMetaFile& instance) {
    return process_error_list(instance, ListAction::SetAndSave, kWarningMessage);
}
int32_t call_save_warning_text(TMetaFile& instance) {
    return process_error_list(instance, ListAction::SaveText, kWarningMessage);
}

int32_t call_save_text(TMetaFile& instance) {
    return guarded(instance, 485, "call_save_text", [&](ArgumentReader& arguments) {
        arguments.open(2029, "call_save_text");
        std::string text = arguments.text().text.substr(0, kTextOverride);
        arguments.close();
        EditRuns& runs = instance.runs();
        // The text override shares the last engine error's text; both come back afterwards.
        std::string savedText = instance.lastError().text();
        int32_t savedOverride = runs.current().messageOverride;
        instance.lastError().setText(text);
        runs.current().messageOverride = -1;
        std::string message =
            runs.VTi_GetMessage(runs.current().record, 2, EditRuns::kMessageCapacity);
        instance.lastError().setText(savedText);
        runs.current().messageOverride = savedOverride;
        runs.addMessage(message, kTextMessage, 0);
        return 1;
    });
}

int32_t call_error_text(TMetaFile& instance) {
    return guarded(instance, 499, "call_error_text", [&](ArgumentReader& arguments) {
        arguments.open(2044, "call_error_text");
        std::string text = arguments.text().text.substr(0, kTextOverride);
        arguments.close();
        instance.lastError().setText(text);
        instance.runs().current().messageOverride = -1;
        return 0;
    });
}

int32_t call_error_msg(TMetaFile& instance) {
    return guarded(instance, 500, "call_error_msg", [&](ArgumentReader& arguments) {
        arguments.open(2045, "call_error_msg");
        int32_t number = arguments.count();
        arguments.close();
        instance.runs().current().messageOverride = number;
        return 0;
    });
}

// ---- Console functions: accepted, and nothing is written or read ------------------------------

int32_t call_puts(TMetaFile& instance) {
    return guarded(instance, 488, "call_puts", [&](ArgumentReader& arguments) {
        arguments.open(2030, "call_puts");
        arguments.text();
        TokenReader& tokens = arguments.interpreter().tokens();
        tokens.VTi_GetToken();
        if (tokens.token().text[0] != ')') instance.lastError().fail(2031, "call_puts");
        tokens.VTi_GetToken();
        if (tokens.token().text[0] != ';') instance.lastError().fail(2032, "call_puts");
        tokens.putBack(); // the statement reads its semicolon
        return 0;
    });
}

int32_t call_print(TMetaFile& instance) {
    ArgumentReader arguments(instance);
    TokenReader& tokens = arguments.interpreter().tokens();
    arguments.open();
    tokens.VTi_GetToken();
    if (tokens.token().text[0] != ')') {
        if (!isTextToken(tokens.token())) {
            tokens.putBack();
            arguments.count();
        }
        tokens.VTi_GetToken();
        if (tokens.token().text[0] != ')') instance.lastError().fail(2050, "call_print");
    }
    tokens.VTi_GetToken();
    if (tokens.token().text[0] != ';') instance.lastError().fail(2051, "call_print");
    tokens.putBack();
    return 0;
}

int32_t call_show(TMetaFile& instance) {
    return guarded(instance, 513, "call_show", [&](ArgumentReader& arguments) {
        TokenReader& tokens = arguments.interpreter().tokens();
        arguments.open();
        tokens.VTi_GetToken();
        if (tokens.token().text[0] == ')') return 0;
        if (!isTextToken(tokens.token())) {
            tokens.putBack();
            arguments.count();
        }
        arguments.close();
        return 0;
    });
}

int32_t call_putch(TMetaFile& instance) {
    return guarded(instance, 487, "call_putch", [&](ArgumentReader& arguments) {
        arguments.open();
        int32_t value = arguments.count();
        arguments.close();
        return value;
    });
}

int32_t call_getche(TMetaFile& instance) {
    return guarded(instance, 486, "call_getche", [&](ArgumentReader& arguments) {
        arguments.open();
        arguments.close();
        return 0;
    });
}

int32_t call_getnum(TMetaFile& instance) {
    return guarded(instance, 507, "call_getnum", [&](ArgumentReader& arguments) {
        arguments.open();
        arguments.close();
        return 0;
    });
}

int32_t call_trace(TMetaFile&) {
    return 0;
}

int32_t call_quit(TMetaFile&) {
    return 0;
}

int32_t call_use(TMetaFile& instance) {
    instance.lastError().fail(522, "call_use");
}

int32_t call_read(TMetaFile& instance) {
    instance.lastError().fail(523, "call_read");
}

} // namespace vetra
