#pragma once
// Splits script text into tokens: case-insensitive keywords, `_` line continuations, `'` and
// `Rem` comments, number literals whose subtype follows their value, strings with doubled
// quotes, #date# literals, and keywords taken as plain names after a dot.

#include "vbscript/value.h"

#include <string>
#include <string_view>
#include <vector>

namespace vbs {

enum class Tok : uint8_t {
    End,
    Newline,
    Colon,
    Identifier,
    Literal, // number, string or date: see Token::value
    LParen,
    RParen,
    Comma,
    Dot,
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Amp,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    // Keywords.
    And,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End_,
    Eqv,
    Erase,
    Exit,
    False,
    For,
    Function,
    GoTo,
    If,
    Imp,
    In,
    Is,
    Let,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Private,
    Property,
    Public,
    ReDim,
    Select,
    Set,
    Step,
    Stop,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

struct Token {
    Tok kind = Tok::End;
    bool spaceBefore = false;
    uint32_t line = 1;   // 1-based
    uint32_t column = 1; // 1-based, in UTF-16 units
    uint32_t offset = 0; // into the text
    uint32_t length = 0;
    std::string text; // identifiers: the name as written (UTF-8)
    Value value;      // literals
};

// Throws ScriptError with the position for characters and literals the language does not allow.
std::vector<Token> tokenize(std::u16string_view text);

const char* tokenName(Tok kind);
bool isKeyword(std::string_view name);

} // namespace vbs
