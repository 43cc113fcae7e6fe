// The script engine's lexer, parser and compiler on arbitrary text, unit by unit as the engine
// compiles added code, and the whole text as one expression as Eval compiles it. Nothing runs.
// Bytes are taken as Windows-1252 text is for the first 256 code points (Latin-1).

#include "vbscript/compiler.h"
#include "vbscript/error.h"
#include "vbscript/lexer.h"
#include "vbscript/parser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size, u'\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = char16_t(data[i]);

    std::vector<vbs::Token> tokens;
    try {
        tokens = vbs::tokenize(text);
    } catch (const vbs::ScriptError&) {
        return 0;
    }
    try {
        for (const vbs::UnitSpan& span : vbs::splitUnits(tokens)) {
            try {
                (void)vbs::compileUnit(tokens, span);
            } catch (const vbs::ScriptError&) {
            }
        }
    } catch (const vbs::ScriptError&) {
    }
    try {
        (void)vbs::compileExpression(tokens, nullptr);
    } catch (const vbs::ScriptError&) {
    }
    return 0;
}
