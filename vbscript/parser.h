#pragma once
// Builds syntax trees from tokens. Script text is cut into units first: each Sub, Function,
// Property and Class declaration is a unit, and so is each run of script-level statements
// between them, so that units can be compiled (and cached) on their own.

#include "vbscript/ast.h"
#include "vbscript/lexer.h"

#include <memory>
#include <vector>

namespace vbs {

struct UnitSpan {
    enum class Kind : uint8_t { Code, Procedure, Class };
    Kind kind;
    size_t begin; // token indices, end exclusive
    size_t end;
    // A declaration inside a block of script-level statements (If ... End If): the code unit
    // around it spans it too, and skips it when parsed.
    bool nested = false;
};

// Throws ScriptError for text after a declaration's End on the same line. Declarations inside a
// block of script-level statements are units of their own (the classic engine hoists them), but do
// not cut the code around them, which is then one unit that covers them. `unterminated`, when
// given, tells whether the last declaration runs to the end of the text without its End, or the
// text ends inside a block of script-level statements.
std::vector<UnitSpan> splitUnits(const std::vector<Token>& tokens, bool* unterminated = nullptr);

class Parser {
public:
    Parser(const std::vector<Token>& tokens, size_t begin, size_t end);

    // Script-level statements. `optionExplicit` is set when the unit says Option Explicit.
    ast::Block parseCode(bool& optionExplicit);
    std::unique_ptr<ast::Proc> parseProcedure();
    std::unique_ptr<ast::ClassDecl> parseClass();
    // The whole range as one expression (Eval).
    ast::ExprPtr parseExpressionOnly();

private:
    const Token& peek(size_t ahead = 0) const;
    bool at(Tok kind) const { return peek().kind == kind; }
    bool atWord(const char* folded) const;
    bool accept(Tok kind);
    const Token& expect(Tok kind, int error);
    [[noreturn]] void fail(int error) const;
    [[noreturn]] void failAt(int error, const Token& token) const;
    bool atStatementEnd() const;
    void skipSeparators();
    void requireStatementEnd();
    bool atBlockEnd() const;
    std::string identifier(int error = 1010);

    ast::Block parseBlock();
    ast::StmtPtr parseStatement();
    ast::StmtPtr parseAssignOrCall(bool callKeyword);
    ast::StmtPtr parseDim(bool script, bool isPublic);
    ast::StmtPtr parseConst(bool isPublic);
    ast::StmtPtr parseReDim();
    ast::StmtPtr parseErase();
    ast::StmtPtr parseIf();
    ast::StmtPtr parseSelect();
    ast::StmtPtr parseFor();
    ast::StmtPtr parseDo();
    ast::StmtPtr parseWhile();
    ast::StmtPtr parseExit();
    ast::StmtPtr parseWith();
    ast::StmtPtr parseOnError();
    ast::StmtPtr parseSet(bool isSet);
    ast::Block parseLineStatements();
    std::unique_ptr<ast::Proc> parseProcedureAfterModifiers(bool isPublic, bool isDefault,
                                                            bool inClass);
    ast::Decl parseDecl(bool bounds);
    void parseConstDecls(std::vector<ast::Decl>& out, bool isPublic);

    ast::ExprPtr parseExpr(int minPrec = 1);
    ast::ExprPtr parseInfix(ast::ExprPtr left, int minPrec);
    ast::ExprPtr parsePrefix();
    ast::ExprPtr parseChain();
    ast::ExprPtr parsePostfix(ast::ExprPtr e);
    std::vector<ast::ExprPtr> parseArgList(Tok closer);
    ast::ExprPtr makeExpr(ast::ExprKind kind, const Token& at) const;
    ast::StmtPtr makeStmt(ast::StmtKind kind, const Token& at) const;

    const std::vector<Token>& tokens_;
    size_t pos_;
    size_t end_;
    Token endToken_;
    int singleLineIf_ = 0;
    int doDepth_ = 0;
    int forDepth_ = 0;
    int procKind_ = -1; // ast::ProcKind of the procedure being parsed, -1 at script level
    bool inProc_ = false;
    bool optionExplicit_ = false;
};

} // namespace vbs
