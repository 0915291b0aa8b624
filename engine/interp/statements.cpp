// Statements: interp_block runs one statement, or every statement up to a closing brace or
// the end of the program, dispatching on the statement's first token. while and do loops
// keep no frame: at the end of a pass they set the position back to their own keyword, and
// the enclosing block runs them again.
#include "engine/interp/decoded_logic.h"
#include "engine/interp/keyword_table.h"
#include "engine/interp/token_decoder.h"
#include "engine/store/block_tags.h"
#include "interpreter.h"

namespace vetra {

namespace {

constexpr char kElse = 'A';
constexpr char kWhile = 'B';
constexpr char kFor = 'C';
constexpr char kReturn = 'D';
constexpr char kIf = 'F';
constexpr char kDo = 'L';
constexpr char kChar = 'H';

bool isEnd(const TokenRecord& token) {
    return token.kind == kPunctuation && token.code == kEndCode;
}

bool isElse(const TokenRecord& token) {
    return token.kind == kBlockKeyword && token.code == kElse;
}

// Raises the block level for one block; its exit, however it happens, releases what was
// allocated at that level or deeper since the block began (`firstBlock` blocks were mapped).
class BlockScope {
public:
    using Release = void (Interpreter::*)(int32_t, size_t);

    BlockScope(int32_t& level, Interpreter& interpreter, Release release, size_t firstBlock)
        : level_(level), interpreter_(interpreter), release_(release), mine_(++level),
          firstBlock_(firstBlock) {}
    ~BlockScope() {
        (interpreter_.*release_)(mine_, firstBlock_);
        --level_;
    }
    BlockScope(const BlockScope&) = delete;
    BlockScope& operator=(const BlockScope&) = delete;

private:
    int32_t& level_;
    Interpreter& interpreter_;
    Release release_;
    int32_t mine_;
    size_t firstBlock_;
};

} // namespace

Interpreter::BlockResult Interpreter::interp_block(bool multiple) {
    return errors_.guard(456, "interp_block", [&] {
        Nesting nesting(*this);
        BlockScope scope(blockLevel_, *this, &Interpreter::releaseBlockStorage,
                         addresses_.blockCount());
        BlockResult result;
        bool braced = false;
        for (;;) {
            checkBudget();
            uint8_t kind = tokens_.VTi_GetToken();
            char code = tokens_.token().code;
            if (kind == kBrace) {
                trace(true);
                if (code == '}') return result;
                multiple = braced = true;
                continue;
            }
            if (kind == kDeclaration && code == kReturn) {
                BlockResult returned = exec_return();
                // The run ends here: the return's line was reached, the rest of the code
                // was not.
                trace(true);
                if (returned.returnSignal && tracing_)
                    tracer_->debug_edit(logic_.size(), false, locals_, addresses_);
                // A return in a user function ends only this block: its closing brace goes
                // with it, so the enclosing statements go on after the block.
                if (braced && !returned.returnSignal) skipToClosingBrace();
                return returned;
            }
            BlockResult statement = runStatement(kind, code);
            if (kind == kBlockKeyword) result = statement;
            if (isEnd(tokens_.token()) || !multiple || result.returnSignal) return result;
        }
    });
}

Interpreter::BlockResult Interpreter::runStatement(uint8_t kind, char code) {
    switch (kind) {
    case kIdentifier:
    case kCall:
        tokens_.putBack();
        evaluate();
        tokens_.VTi_GetHardToken(';', 6);
        trace(true);
        return {};
    case kBlockKeyword:
        switch (code) {
        case kIf:
            return exec_if();
        case kWhile:
            return exec_while();
        case kFor:
            return exec_for();
        case kDo:
            return exec_do();
        default:
            skipStandaloneElse();
            return {};
        }
    case kDeclaration:
        tokens_.putBack();
        decl_var();
        trace(true);
        return {};
    default:
        return {}; // numbers, literals, constants, operators, a lone ";": read and ignored
    }
}

Interpreter::BlockResult Interpreter::exec_return() {
    returnRegister_ = evaluate(returnRegister_);
    return {returnRegister_, callDepth_ == 1};
}

int32_t Interpreter::blockLength() const {
    // The token reader has checked that the 4 characters after the keyword exist.
    std::string_view digits = logic_.substr(tokens_.tokenStart() + 1, 4);
    int32_t length = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        length = length * 10 + (c - '0');
    }
    return length;
}

void Interpreter::skipBlock(int32_t length) {
    size_t target = tokens_.position() + static_cast<size_t>(length);
    if (target > logic_.size()) failMalformed();
    tokens_.setPosition(target);
}

int32_t Interpreter::evaluateCondition() {
    tokens_.VTi_GetHardToken('(', 12);
    int32_t condition = evaluate();
    tokens_.VTi_GetHardToken(')', 12);
    return condition;
}

Interpreter::BlockResult Interpreter::exec_if() {
    return errors_.guard(466, "exec_if", [&] {
        int32_t length = blockLength();
        int32_t condition = evaluateCondition();
        trace(true);
        if (condition == 0) {
            skipBlock(length);
            trace(false);
            tokens_.VTi_GetToken();
            if (isElse(tokens_.token())) return interp_block(false);
            tokens_.putBack();
            return BlockResult{};
        }
        BlockResult then = interp_block(false);
        if (then.returnSignal) return then;
        tokens_.VTi_GetToken();
        if (isElse(tokens_.token())) {
            skipBlock(blockLength());
            trace(false);
        } else {
            tokens_.putBack();
        }
        return then;
    });
}

Interpreter::BlockResult Interpreter::exec_while() {
    int32_t length = blockLength();
    size_t loopStart = tokens_.tokenStart();
    traceLoopEntry();
    if (evaluateCondition() == 0) {
        skipBlock(length);
        trace(false);
        traceLoopEnd();
        return {};
    }
    BlockResult body = interp_block(false);
    if (body.returnSignal) {
        traceLoopEnd();
        return body;
    }
    tokens_.setPosition(loopStart);
    traceLoopRepeat(loopStart);
    return {};
}

Interpreter::BlockResult Interpreter::exec_do() {
    size_t loopStart = tokens_.tokenStart();
    traceLoopEntry();
    BlockResult body = interp_block(false);
    if (body.returnSignal) {
        traceLoopEnd();
        return body;
    }
    tokens_.VTi_GetToken();
    if (tokens_.token().kind != kBlockKeyword || tokens_.token().code != kWhile)
        errors_.fail(2011, "exec_do");
    if (evaluateCondition() != 0) {
        tokens_.setPosition(loopStart);
        traceLoopRepeat(loopStart);
    } else {
        trace(true);
        traceLoopEnd();
    }
    return {};
}

// The for header's expressions end at a semicolon; the next one starts just past it, whether
// the evaluation left the semicolon put back or consumed it (an empty expression).
void Interpreter::expectForSemicolon() {
    if (tokens_.token().text[0] != ';') errors_.fail(2012, "exec_for");
    tokens_.setPosition(tokens_.tokenStart() + 1);
}

void Interpreter::skipForIncrement() {
    if (translation_ != nullptr) {
        DecodedLogic& decoded = translation_->decoded;
        int32_t first = decoded.entryAt(tokens_.position());
        if (first != DecodedLogic::kNoEntry) {
            const DecodedLogic::Skip& skip = decoded.closingParenthesis(first);
            if (skip.last >= 0) {
                tokens_.countReads(skip.reads);
                tokens_.takeEntry(skip.last);
                return;
            }
        }
    }
    for (int depth = 1; depth > 0;) {
        tokens_.VTi_GetToken();
        char first = tokens_.token().text[0];
        if (first == '(') ++depth;
        if (first == ')') --depth;
        if (isEnd(tokens_.token())) errors_.fail(2074, "VTi_GetHardToken");
    }
}

Interpreter::BlockResult Interpreter::exec_for() {
    int32_t length = blockLength();
    size_t loopStart = tokens_.tokenStart();
    traceLoopEntry();
    tokens_.VTi_GetToken(); // the header's opening parenthesis
    evaluate();
    expectForSemicolon();
    size_t conditionStart = tokens_.position();
    for (;;) {
        checkBudget();
        int32_t condition = evaluate();
        expectForSemicolon();
        size_t incrementStart = tokens_.position();
        skipForIncrement();
        if (condition == 0) {
            skipBlock(length);
            trace(false);
            traceLoopEnd();
            return {};
        }
        BlockResult body = interp_block(false);
        if (body.returnSignal) {
            traceLoopEnd();
            return body;
        }
        tokens_.setPosition(incrementStart);
        evaluate();
        tokens_.setPosition(conditionStart);
        traceLoopRepeat(loopStart);
    }
}

// An else met as a statement of its own: its brace block, or its next token, is passed over.
void Interpreter::skipStandaloneElse() {
    tokens_.VTi_GetToken();
    if (tokens_.token().text[0] == '{')
        skipToClosingBrace();
    else
        tokens_.VTi_GetToken();
}

void Interpreter::skipToClosingBrace() {
    for (int depth = 1; depth > 0 && !isEnd(tokens_.token());) {
        tokens_.VTi_GetToken();
        char first = tokens_.token().text[0];
        if (first == '{') ++depth;
        if (first == '}') --depth;
    }
}

void Interpreter::decl_var() {
    errors_.guard(457, "decl_var", [&] {
        tokens_.VTi_GetToken();
        int32_t baseType = tokens_.token().code == kChar ? kCharType : kIntType;
        do
            declareOne(baseType);
        while (tokens_.token().code == ',');
        if (tokens_.token().text[0] != ';') errors_.fail(2002, "decl_var");
    });
}

void Interpreter::declareOne(int32_t baseType) {
    VariableRecord record;
    record.type = baseType;
    record.count = baseType == kCharType ? 1 : 0;
    tokens_.VTi_GetToken();
    if (tokens_.token().kind == kOperator && tokens_.token().code == '*') {
        record.type |= kPointerBit;
        tokens_.VTi_GetToken();
    }
    record.setName(tokens_.text());
    tokens_.VTi_GetToken();
    if (tokens_.token().kind == kPunctuation && tokens_.token().code == '[') {
        record.type |= kArrayBit;
        record.count = evaluate();
        record.value = allocateArray(record.count, baseType == kCharType ? 1 : 2);
        tokens_.VTi_GetHardToken(']', 19);
        tokens_.VTi_GetToken();
    }
    errors_.guard(459, "VTi_LocalPush", [&] { locals_.VTi_LocalPush(record); });
}

int32_t Interpreter::allocateArray(int32_t count, int32_t elementSize) {
    if (count < 0) errors_.fail(2001, "decl_var");
    size_t size = static_cast<size_t>(count) * static_cast<size_t>(elementSize);
    if (size > kMaxArrayBytes) errors_.fail(2001, "decl_var");
    int32_t handle = 0;
    try {
        handle = memory_.VTi_AllocMem(kArrayLevel, tags::kLocalArray, false, size);
    } catch (const EngineFailure&) {
        errors_.fail(2001, "decl_var");
    }
    int32_t address = mapBlock(handle, size, kArrayLevel);
    if (address == 0) errors_.fail(2001, "decl_var");
    return address;
}

} // namespace vetra
