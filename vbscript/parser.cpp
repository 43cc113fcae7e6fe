#include "vbscript/parser.h"

#include "vbscript/text.h"

#include <algorithm>
#include <cstdint>

namespace vbs {

using namespace ast;

namespace {

bool isDeclStart(const std::vector<Token>& t, size_t i, UnitSpan::Kind& kind) {
    size_t k = i;
    if (t[k].kind == Tok::Public || t[k].kind == Tok::Private) {
        ++k;
        if (t[k].kind == Tok::Identifier && equalsNoCase(t[k].text, "default")) ++k;
    }
    switch (t[k].kind) {
    case Tok::Sub:
    case Tok::Function:
    case Tok::Property:
        kind = UnitSpan::Kind::Procedure;
        return true;
    case Tok::Class:
        kind = UnitSpan::Kind::Class;
        return k == i; // a class takes no modifiers
    default:
        return false;
    }
}

bool isSeparator(Tok k) {
    return k == Tok::Newline || k == Tok::Colon;
}

Value negateLiteral(const Value& v) {
    switch (v.type()) {
    case Type::Integer:
        if (v.integerValue() == -32768) return Value::lng(32768);
        return Value::integer(int16_t(-v.integerValue()));
    case Type::Long:
        if (v.longValue() == INT32_MIN) return Value::dbl(2147483648.0);
        return Value::lng(-v.longValue());
    case Type::Double:
        return Value::dbl(-v.doubleValue());
    case Type::Date:
        return Value::date(-v.dateValue());
    default:
        return v;
    }
}

// The end (exclusive) of the declaration starting at token i, of `kind`: after its End Sub, End
// Function, End Property or End Class at a statement's start, or the text's end without one.
size_t declarationEnd(const std::vector<Token>& t, size_t i, UnitSpan::Kind kind, bool* found) {
    bool start = false;
    *found = false;
    for (size_t j = i; t[j].kind != Tok::End; ++j) {
        if (start && t[j].kind == Tok::End_) {
            Tok next = t[j + 1].kind;
            bool match = kind == UnitSpan::Kind::Class
                             ? next == Tok::Class
                             : (next == Tok::Sub || next == Tok::Function || next == Tok::Property);
            if (match) {
                *found = true;
                return j + 2;
            }
        }
        start = isSeparator(t[j].kind);
    }
    return t.size() - 1;
}

// How a script-level statement starting at token i changes the depth of blocks: +1 for a block
// opened (If ... Then at a line's end, For, Do, While, Select, With), -1 for one closed. Only
// decides whether a declaration cuts the code around it, so an odd case counted wrong costs a
// cache entry, never the meaning.
int blockDelta(const std::vector<Token>& t, size_t i) {
    switch (t[i].kind) {
    case Tok::If:
        for (size_t j = i + 1; t[j].kind != Tok::End && t[j].kind != Tok::Newline; ++j)
            if (t[j].kind == Tok::Then)
                return t[j + 1].kind == Tok::Newline || t[j + 1].kind == Tok::End ? 1 : 0;
        return 0;
    case Tok::For:
    case Tok::Do:
    case Tok::While:
    case Tok::Select:
    case Tok::With:
        return 1;
    case Tok::Next:
    case Tok::Loop:
    case Tok::Wend:
        return -1;
    case Tok::End_: {
        Tok next = t[i + 1].kind;
        return next == Tok::If || next == Tok::Select || next == Tok::With ? -1 : 0;
    }
    default:
        return 0;
    }
}

} // namespace

std::vector<UnitSpan> splitUnits(const std::vector<Token>& t, bool* unterminated) {
    std::vector<UnitSpan> units;
    if (unterminated) *unterminated = false;
    // Script-level code made only of line breaks and colons is no unit at all. Its unit goes
    // before the declarations nested in it, so that units stay in the order of their first token.
    size_t nestedFrom = 0;
    auto addCode = [&](size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k)
            if (!isSeparator(t[k].kind)) {
                units.insert(units.begin() + std::ptrdiff_t(nestedFrom),
                             {UnitSpan::Kind::Code, begin, end});
                break;
            }
        nestedFrom = units.size();
    };
    size_t codeStart = 0;
    size_t i = 0;
    bool statementStart = true;
    int depth = 0;
    while (t[i].kind != Tok::End) {
        UnitSpan::Kind kind;
        if (statementStart && !isSeparator(t[i].kind) && isDeclStart(t, i, kind)) {
            const bool nested = depth > 0;
            if (!nested) addCode(codeStart, i);
            bool found = false;
            size_t end = declarationEnd(t, i, kind, &found);
            if (unterminated) *unterminated = !found;
            units.push_back({kind, i, end, nested});
            if (!nested) nestedFrom = units.size();
            i = end;
            if (t[i].kind != Tok::End && !isSeparator(t[i].kind)) {
                ScriptError e(errc::ExpectedEndOfStatement);
                e.setPosition(int(t[i].line), int(t[i].column));
                throw e;
            }
            if (!nested) codeStart = i;
            statementStart = true;
            continue;
        }
        if (statementStart && !isSeparator(t[i].kind))
            depth = std::max(0, depth + blockDelta(t, i));
        statementStart = isSeparator(t[i].kind);
        ++i;
    }
    addCode(codeStart, i);
    // A text ending inside a block would cut what follows it differently too.
    if (unterminated && depth > 0) *unterminated = true;
    return units;
}

Parser::Parser(const std::vector<Token>& tokens, size_t begin, size_t end)
    : tokens_(tokens), pos_(begin), end_(end) {
    const Token& next = end < tokens.size() ? tokens[end] : tokens.back();
    endToken_.kind = Tok::End;
    endToken_.line = next.line;
    endToken_.column = next.column;
    endToken_.offset = next.offset;
}

const Token& Parser::peek(size_t ahead) const {
    size_t p = pos_ + ahead;
    if (p >= end_) return endToken_;
    return tokens_[p];
}

bool Parser::atWord(const char* folded) const {
    return peek().kind == Tok::Identifier && equalsNoCase(peek().text, folded);
}

bool Parser::accept(Tok kind) {
    if (peek().kind != kind) return false;
    ++pos_;
    return true;
}

const Token& Parser::expect(Tok kind, int error) {
    if (peek().kind != kind) fail(error);
    return tokens_[pos_++];
}

void Parser::fail(int error) const {
    failAt(error, peek());
}

void Parser::failAt(int error, const Token& token) const {
    ScriptError e(error);
    e.setPosition(int(token.line), int(token.column));
    throw e;
}

bool Parser::atStatementEnd() const {
    Tok k = peek().kind;
    return k == Tok::Newline || k == Tok::Colon || k == Tok::End ||
           (singleLineIf_ > 0 && k == Tok::Else);
}

void Parser::skipSeparators() {
    while (isSeparator(peek().kind))
        ++pos_;
}

void Parser::requireStatementEnd() {
    if (!atStatementEnd()) fail(errc::ExpectedEndOfStatement);
}

bool Parser::atBlockEnd() const {
    switch (peek().kind) {
    case Tok::End:
    case Tok::End_:
    case Tok::Else:
    case Tok::ElseIf:
    case Tok::Loop:
    case Tok::Next:
    case Tok::Wend:
    case Tok::Case:
        return true;
    default:
        return false;
    }
}

std::string Parser::identifier(int error) {
    if (peek().kind != Tok::Identifier) fail(error);
    return tokens_[pos_++].text;
}

ExprPtr Parser::makeExpr(ExprKind kind, const Token& at) const {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->line = at.line;
    e->column = at.column;
    return e;
}

StmtPtr Parser::makeStmt(StmtKind kind, const Token& at) const {
    auto s = std::make_unique<Stmt>();
    s->kind = kind;
    s->line = at.line;
    s->column = at.column;
    return s;
}

// ---- Units -------------------------------------------------------------------------------

Block Parser::parseCode(bool& optionExplicit) {
    Block block = parseBlock();
    if (!at(Tok::End)) {
        if (at(Tok::Next)) fail(errc::UnexpectedNext);
        if (at(Tok::Loop)) fail(errc::LoopWithoutDo);
        fail(errc::ExpectedStatement);
    }
    optionExplicit = optionExplicit_;
    return block;
}

std::unique_ptr<Proc> Parser::parseProcedure() {
    bool isPublic = true, isDefault = false;
    if (accept(Tok::Private)) {
        isPublic = false;
    } else if (accept(Tok::Public)) {
        if (atWord("default")) {
            ++pos_;
            isDefault = true;
        }
    }
    auto proc = parseProcedureAfterModifiers(isPublic, isDefault, false);
    if (!at(Tok::End)) fail(errc::ExpectedEndOfStatement);
    return proc;
}

std::unique_ptr<Proc> Parser::parseProcedureAfterModifiers(bool isPublic, bool isDefault,
                                                           bool inClass) {
    auto proc = std::make_unique<Proc>();
    const Token& start = peek();
    proc->line = start.line;
    proc->column = start.column;
    proc->isPublic = isPublic;
    proc->isDefault = isDefault;
    Tok endKind;
    if (accept(Tok::Sub)) {
        proc->kind = ProcKind::Sub;
        endKind = Tok::Sub;
    } else if (accept(Tok::Function)) {
        proc->kind = ProcKind::Function;
        endKind = Tok::Function;
    } else if (accept(Tok::Property)) {
        if (!inClass) failAt(errc::MustBeInsideClass, start);
        endKind = Tok::Property;
        if (atWord("get"))
            proc->kind = ProcKind::PropertyGet;
        else if (at(Tok::Let))
            proc->kind = ProcKind::PropertyLet;
        else if (at(Tok::Set))
            proc->kind = ProcKind::PropertySet;
        else
            fail(errc::ExpectedLetSetGet);
        ++pos_;
    } else {
        fail(errc::ExpectedStatement);
    }
    if (isDefault) {
        if (!inClass) failAt(errc::MustBeInsideClass, start);
        if (proc->kind == ProcKind::PropertyLet || proc->kind == ProcKind::PropertySet)
            failAt(errc::DefaultOnlyOnGet, start);
    }
    proc->name = identifier();
    if (accept(Tok::LParen)) {
        if (!accept(Tok::RParen)) {
            do {
                Param p;
                p.line = peek().line;
                p.column = peek().column;
                if (accept(Tok::ByVal))
                    p.byRef = false;
                else
                    accept(Tok::ByRef);
                p.name = identifier();
                if (accept(Tok::LParen)) {
                    expect(Tok::RParen, errc::ExpectedRParen);
                    p.isArray = true;
                }
                for (const Param& q : proc->params)
                    if (equalsNoCase(q.name, p.name))
                        failAt(errc::NameRedefined, tokens_[pos_ - 1]);
                proc->params.push_back(std::move(p));
            } while (accept(Tok::Comma));
            expect(Tok::RParen, errc::ExpectedRParen);
        }
    }
    if ((proc->kind == ProcKind::PropertyLet || proc->kind == ProcKind::PropertySet) &&
        proc->params.empty())
        failAt(errc::PropertyLetSetArgs, start);
    if (inClass &&
        (equalsNoCase(proc->name, "class_initialize") ||
         equalsNoCase(proc->name, "class_terminate")) &&
        !proc->params.empty())
        failAt(errc::InitTerminateArgs, start);
    requireStatementEnd();
    inProc_ = true;
    procKind_ = int(proc->kind);
    proc->body = parseBlock();
    inProc_ = false;
    procKind_ = -1;
    if (!at(Tok::End_)) {
        if (at(Tok::Next)) fail(errc::UnexpectedNext);
        if (at(Tok::Loop)) fail(errc::LoopWithoutDo);
        fail(errc::ExpectedEnd);
    }
    ++pos_;
    expect(endKind, endKind == Tok::Sub        ? errc::ExpectedSub
                    : endKind == Tok::Function ? errc::ExpectedFunction
                                               : errc::ExpectedProperty);
    return proc;
}

std::unique_ptr<ClassDecl> Parser::parseClass() {
    auto cls = std::make_unique<ClassDecl>();
    const Token& start = expect(Tok::Class, errc::ExpectedClass);
    cls->line = start.line;
    cls->column = start.column;
    cls->name = identifier();
    requireStatementEnd();
    bool haveDefault = false;
    while (true) {
        skipSeparators();
        if (accept(Tok::End_)) {
            expect(Tok::Class, errc::ExpectedClass);
            break;
        }
        if (at(Tok::End)) fail(errc::ExpectedEnd);
        bool isPublic = true, isDefault = false, modifier = false;
        const Token& modTok = peek();
        if (accept(Tok::Public)) {
            modifier = true;
            if (atWord("default")) {
                ++pos_;
                isDefault = true;
            }
        } else if (accept(Tok::Private)) {
            modifier = true;
            isPublic = false;
            if (atWord("default")) fail(errc::DefaultMustBePublic);
        } else if (accept(Tok::Dim)) {
            modifier = true;
        } else if (atWord("default")) {
            fail(errc::DefaultMustBePublic);
        }
        if (at(Tok::Sub) || at(Tok::Function) || at(Tok::Property)) {
            if (modTok.kind == Tok::Dim) fail(errc::ExpectedIdentifier);
            auto proc = parseProcedureAfterModifiers(isPublic, isDefault, true);
            if (isDefault) {
                if (haveDefault) failAt(errc::MultipleDefaults, modTok);
                haveDefault = true;
            }
            cls->procs.push_back(std::move(proc));
        } else if (at(Tok::Const)) {
            ++pos_;
            parseConstDecls(cls->consts, isPublic);
        } else if (modifier) {
            if (isDefault) failAt(errc::DefaultOnlyOnProcedures, modTok);
            do {
                Decl d = parseDecl(true);
                d.isPublic = isPublic;
                cls->fields.push_back(std::move(d));
            } while (accept(Tok::Comma));
        } else {
            fail(errc::ExpectedStatement);
        }
        requireStatementEnd();
    }
    if (!at(Tok::End)) fail(errc::ExpectedEndOfStatement);
    return cls;
}

ExprPtr Parser::parseExpressionOnly() {
    skipSeparators();
    ExprPtr e = parseExpr();
    skipSeparators();
    if (!at(Tok::End)) fail(errc::ExpectedEndOfStatement);
    return e;
}

// ---- Statements --------------------------------------------------------------------------

Block Parser::parseBlock() {
    Block block;
    while (true) {
        skipSeparators();
        if (atBlockEnd()) break;
        block.push_back(parseStatement());
        requireStatementEnd();
    }
    return block;
}

Block Parser::parseLineStatements() {
    // The statements of a single-line If: up to the end of the line (or its Else).
    Block block;
    while (true) {
        if (at(Tok::Newline) || at(Tok::End) || at(Tok::Else)) break;
        if (accept(Tok::Colon)) continue;
        if (at(Tok::End_) && peek(1).kind == Tok::If) break;
        block.push_back(parseStatement());
        requireStatementEnd();
    }
    return block;
}

StmtPtr Parser::parseStatement() {
    const Token& t = peek();
    UnitSpan::Kind declKind;
    if (!inProc_ && pos_ > 0 && pos_ < end_ && isSeparator(tokens_[pos_ - 1].kind) &&
        isDeclStart(tokens_, pos_, declKind)) {
        // A declaration inside a block of script-level code: splitUnits made it a unit of its
        // own.
        bool found = false;
        pos_ = std::min(end_, declarationEnd(tokens_, pos_, declKind, &found));
        return makeStmt(StmtKind::Declaration, t);
    }
    switch (t.kind) {
    case Tok::Dim:
        ++pos_;
        return parseDim(!inProc_, true);
    case Tok::Public:
    case Tok::Private: {
        if (inProc_) fail(errc::ExpectedStatement);
        ++pos_;
        bool isPublic = t.kind == Tok::Public;
        if (accept(Tok::Const)) return parseConst(isPublic);
        auto s = parseDim(true, isPublic);
        return s;
    }
    case Tok::Const:
        ++pos_;
        return parseConst(true);
    case Tok::ReDim:
        return parseReDim();
    case Tok::Erase:
        return parseErase();
    case Tok::If:
        return parseIf();
    case Tok::Select:
        return parseSelect();
    case Tok::For:
        return parseFor();
    case Tok::Do:
        return parseDo();
    case Tok::While:
        return parseWhile();
    case Tok::Exit:
        return parseExit();
    case Tok::With:
        return parseWith();
    case Tok::On:
        return parseOnError();
    case Tok::Set:
        return parseSet(true);
    case Tok::Let:
        return parseSet(false);
    case Tok::Call:
        ++pos_;
        return parseAssignOrCall(true);
    case Tok::Stop:
        ++pos_;
        return makeStmt(StmtKind::Stop, t);
    case Tok::Option: {
        ++pos_;
        if (!atWord("explicit")) fail(errc::SyntaxError);
        ++pos_;
        if (inProc_) failAt(errc::ExpectedStatement, t);
        optionExplicit_ = true;
        return makeStmt(StmtKind::OptionExplicit, t);
    }
    case Tok::Identifier:
    case Tok::Dot:
    case Tok::Me:
        return parseAssignOrCall(false);
    case Tok::Sub:
    case Tok::Function:
    case Tok::Property:
    case Tok::Class:
        fail(errc::SyntaxError);
    default:
        fail(errc::ExpectedStatement);
    }
}

StmtPtr Parser::parseAssignOrCall(bool callKeyword) {
    const Token& start = peek();
    if (!(at(Tok::Identifier) || at(Tok::Dot) || at(Tok::Me))) fail(errc::ExpectedIdentifier);
    ExprPtr chain = parseChain();
    if (!callKeyword && accept(Tok::Eq)) {
        auto s = makeStmt(StmtKind::Assign, start);
        s->target = std::move(chain);
        s->value = parseExpr();
        return s;
    }
    auto s = makeStmt(StmtKind::Call, start);
    s->callKeyword = callKeyword;
    if (atStatementEnd()) {
        if (!callKeyword && chain->kind == ExprKind::Call) {
            if (chain->args.size() > 1) failAt(errc::ParenthesesOnSubCall, start);
            if (chain->args.size() == 1 && chain->args[0]->kind != ExprKind::Missing) {
                // Foo(x) as a statement: the parentheses belong to the argument.
                ExprPtr arg = std::move(chain->args[0]);
                auto paren = makeExpr(ExprKind::Paren, start);
                paren->line = arg->line;
                paren->column = arg->column;
                paren->left = std::move(arg);
                chain->args[0] = std::move(paren);
            }
        }
        s->target = std::move(chain);
        return s;
    }
    if (callKeyword) fail(errc::ExpectedEndOfStatement);
    s->hasArgs = true;
    if (chain->kind == ExprKind::Call) {
        // Foo (a) + b, c: what looked like the call's parentheses opens the first argument.
        if (chain->args.size() != 1 || chain->args[0]->kind == ExprKind::Missing)
            fail(errc::ExpectedEndOfStatement);
        auto paren = makeExpr(ExprKind::Paren, start);
        paren->line = chain->args[0]->line;
        paren->column = chain->args[0]->column;
        paren->left = std::move(chain->args[0]);
        ExprPtr first = parseInfix(std::move(paren), 1);
        s->target = std::move(chain->left);
        s->args.push_back(std::move(first));
        if (accept(Tok::Comma)) {
            auto rest = parseArgList(Tok::End);
            for (auto& a : rest)
                s->args.push_back(std::move(a));
        }
        return s;
    }
    s->target = std::move(chain);
    s->args = parseArgList(Tok::End);
    return s;
}

Decl Parser::parseDecl(bool bounds) {
    Decl d;
    d.line = peek().line;
    d.column = peek().column;
    d.name = identifier();
    if (accept(Tok::LParen)) {
        d.isArray = true;
        if (!accept(Tok::RParen)) {
            if (!bounds) fail(errc::ExpectedRParen);
            do {
                d.bounds.push_back(parseExpr());
            } while (accept(Tok::Comma));
            expect(Tok::RParen, errc::ExpectedRParen);
        }
    }
    return d;
}

StmtPtr Parser::parseDim(bool script, bool isPublic) {
    auto s = makeStmt(StmtKind::Dim, tokens_[pos_ - 1]);
    s->globalScope = script;
    s->isPublic = isPublic;
    do {
        Decl d = parseDecl(true);
        d.isPublic = isPublic;
        s->decls.push_back(std::move(d));
    } while (accept(Tok::Comma));
    return s;
}

void Parser::parseConstDecls(std::vector<Decl>& out, bool isPublic) {
    do {
        Decl d;
        d.line = peek().line;
        d.column = peek().column;
        d.name = identifier();
        d.isPublic = isPublic;
        expect(Tok::Eq, errc::ExpectedEquals);
        d.value = parseExpr();
        out.push_back(std::move(d));
    } while (accept(Tok::Comma));
}

StmtPtr Parser::parseConst(bool isPublic) {
    auto s = makeStmt(StmtKind::Const, tokens_[pos_ - 1]);
    s->globalScope = !inProc_;
    s->isPublic = isPublic;
    parseConstDecls(s->decls, isPublic);
    return s;
}

StmtPtr Parser::parseReDim() {
    auto s = makeStmt(StmtKind::ReDim, peek());
    ++pos_;
    if (atWord("preserve") && peek(1).kind == Tok::Identifier) {
        ++pos_;
        s->preserve = true;
    }
    do {
        Decl d;
        d.line = peek().line;
        d.column = peek().column;
        d.name = identifier();
        d.isArray = true;
        expect(Tok::LParen, errc::ExpectedLParen);
        do {
            d.bounds.push_back(parseExpr());
        } while (accept(Tok::Comma));
        expect(Tok::RParen, errc::ExpectedRParen);
        s->decls.push_back(std::move(d));
    } while (accept(Tok::Comma));
    return s;
}

StmtPtr Parser::parseErase() {
    auto s = makeStmt(StmtKind::Erase, peek());
    ++pos_;
    do {
        const Token& t = peek();
        auto e = makeExpr(ExprKind::Name, t);
        e->name = identifier();
        s->args.push_back(std::move(e));
    } while (accept(Tok::Comma));
    return s;
}

StmtPtr Parser::parseIf() {
    auto s = makeStmt(StmtKind::If, peek());
    ++pos_;
    s->conds.push_back(parseExpr());
    expect(Tok::Then, errc::ExpectedThen);
    if (!at(Tok::Newline) && !at(Tok::End)) {
        // Single-line form: everything up to the end of the line.
        ++singleLineIf_;
        s->blocks.push_back(parseLineStatements());
        if (at(Tok::Else)) {
            s->elseLine = peek().line;
            s->elseColumn = peek().column;
            ++pos_;
            s->hasElse = true;
            s->elseBlock = parseLineStatements();
        }
        --singleLineIf_;
        if (at(Tok::End_) && peek(1).kind == Tok::If) pos_ += 2;
        return s;
    }
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    s->blocks.push_back(parseBlock());
    while (true) {
        if (at(Tok::ElseIf)) {
            s->branchLines.push_back(peek().line);
            s->branchColumns.push_back(peek().column);
            ++pos_;
            s->conds.push_back(parseExpr());
            expect(Tok::Then, errc::ExpectedThen);
            s->blocks.push_back(parseBlock());
            continue;
        }
        if (at(Tok::Else)) {
            if (s->hasElse) fail(errc::ExpectedEnd);
            s->elseLine = peek().line;
            s->elseColumn = peek().column;
            ++pos_;
            s->hasElse = true;
            s->elseBlock = parseBlock();
            continue;
        }
        break;
    }
    singleLineIf_ = saved;
    expect(Tok::End_, errc::ExpectedEnd);
    expect(Tok::If, errc::ExpectedIf);
    return s;
}

StmtPtr Parser::parseSelect() {
    auto s = makeStmt(StmtKind::Select, peek());
    ++pos_;
    expect(Tok::Case, errc::ExpectedCase);
    s->value = parseExpr();
    requireStatementEnd();
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    while (true) {
        skipSeparators();
        if (at(Tok::Case)) {
            const Token& ct = peek();
            ++pos_;
            if (accept(Tok::Else)) {
                if (s->hasElse) fail(errc::ExpectedEnd);
                s->hasElse = true;
                s->elseLine = ct.line;
                s->elseColumn = ct.column;
                s->elseBlock = parseBlock();
                continue;
            }
            if (s->hasElse) fail(errc::ExpectedEnd);
            Case c;
            c.line = ct.line;
            c.column = ct.column;
            do {
                c.values.push_back(parseExpr());
            } while (accept(Tok::Comma));
            c.body = parseBlock();
            s->cases.push_back(std::move(c));
            continue;
        }
        break;
    }
    singleLineIf_ = saved;
    expect(Tok::End_, errc::ExpectedEnd);
    expect(Tok::Select, errc::ExpectedSelect);
    return s;
}

StmtPtr Parser::parseFor() {
    const Token& start = peek();
    ++pos_;
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    StmtPtr s;
    if (accept(Tok::Each)) {
        s = makeStmt(StmtKind::ForEach, start);
        s->varLine = peek().line;
        s->varColumn = peek().column;
        s->var = identifier(errc::InvalidForVariable);
        expect(Tok::In, errc::ExpectedIn);
        s->value = parseExpr();
    } else {
        s = makeStmt(StmtKind::For, start);
        s->varLine = peek().line;
        s->varColumn = peek().column;
        s->var = identifier(errc::InvalidForVariable);
        expect(Tok::Eq, errc::ExpectedEquals);
        s->from = parseExpr();
        expect(Tok::To, errc::ExpectedTo);
        s->to = parseExpr();
        if (accept(Tok::Step)) s->step = parseExpr();
    }
    requireStatementEnd();
    ++forDepth_;
    s->body = parseBlock();
    --forDepth_;
    s->endLine = peek().line;
    s->endColumn = peek().column;
    expect(Tok::Next, errc::ExpectedNext);
    if (at(Tok::Identifier)) ++pos_;
    singleLineIf_ = saved;
    return s;
}

StmtPtr Parser::parseDo() {
    auto s = makeStmt(StmtKind::Do, peek());
    ++pos_;
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    if (at(Tok::While) || at(Tok::Until)) {
        s->until = at(Tok::Until);
        ++pos_;
        s->cond = parseExpr();
    }
    requireStatementEnd();
    ++doDepth_;
    s->body = parseBlock();
    --doDepth_;
    s->endLine = peek().line;
    s->endColumn = peek().column;
    expect(Tok::Loop, errc::ExpectedLoop);
    if (at(Tok::While) || at(Tok::Until)) {
        if (s->cond) fail(errc::ExpectedEndOfStatement);
        s->until = at(Tok::Until);
        ++pos_;
        s->cond = parseExpr();
        s->testAtEnd = true;
    }
    singleLineIf_ = saved;
    return s;
}

StmtPtr Parser::parseWhile() {
    auto s = makeStmt(StmtKind::While, peek());
    ++pos_;
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    s->cond = parseExpr();
    requireStatementEnd();
    s->body = parseBlock();
    s->endLine = peek().line;
    s->endColumn = peek().column;
    expect(Tok::Wend, errc::ExpectedWend);
    singleLineIf_ = saved;
    return s;
}

StmtPtr Parser::parseExit() {
    auto s = makeStmt(StmtKind::Exit, peek());
    ++pos_;
    bool ok;
    if (accept(Tok::Do)) {
        s->exitKind = ExitKind::Do;
        ok = doDepth_ > 0;
    } else if (accept(Tok::For)) {
        s->exitKind = ExitKind::For;
        ok = forDepth_ > 0;
    } else if (accept(Tok::Sub)) {
        s->exitKind = ExitKind::Sub;
        ok = procKind_ == int(ProcKind::Sub);
    } else if (accept(Tok::Function)) {
        s->exitKind = ExitKind::Function;
        ok = procKind_ == int(ProcKind::Function);
    } else if (accept(Tok::Property)) {
        s->exitKind = ExitKind::Property;
        ok = procKind_ >= int(ProcKind::PropertyGet);
    } else {
        fail(errc::InvalidExit);
    }
    if (!ok) failAt(errc::InvalidExit, tokens_[pos_ - 2]);
    return s;
}

StmtPtr Parser::parseWith() {
    auto s = makeStmt(StmtKind::With, peek());
    ++pos_;
    int saved = singleLineIf_;
    singleLineIf_ = 0;
    s->value = parseExpr();
    requireStatementEnd();
    s->body = parseBlock();
    expect(Tok::End_, errc::ExpectedEnd);
    expect(Tok::With, errc::ExpectedWith);
    singleLineIf_ = saved;
    return s;
}

StmtPtr Parser::parseOnError() {
    auto s = makeStmt(StmtKind::OnError, peek());
    ++pos_;
    if (!atWord("error")) fail(errc::SyntaxError);
    ++pos_;
    if (atWord("resume")) {
        ++pos_;
        expect(Tok::Next, errc::SyntaxError);
        s->resumeNext = true;
    } else if (accept(Tok::GoTo)) {
        const Token& z = peek();
        if (z.kind != Tok::Literal || !z.value.isNumeric() || z.value.type() != Type::Integer ||
            z.value.integerValue() != 0)
            fail(errc::SyntaxError);
        ++pos_;
        s->resumeNext = false;
    } else {
        fail(errc::SyntaxError);
    }
    return s;
}

StmtPtr Parser::parseSet(bool isSet) {
    auto s = makeStmt(isSet ? StmtKind::Set : StmtKind::Assign, peek());
    ++pos_;
    if (!(at(Tok::Identifier) || at(Tok::Dot) || at(Tok::Me))) fail(errc::ExpectedIdentifier);
    s->target = parseChain();
    expect(Tok::Eq, errc::ExpectedEquals);
    s->value = parseExpr();
    return s;
}

// ---- Expressions -------------------------------------------------------------------------

namespace {

int binaryPrecedence(Tok k, Op& op) {
    switch (k) {
    case Tok::Imp:
        op = Op::Imp;
        return 1;
    case Tok::Eqv:
        op = Op::Eqv;
        return 2;
    case Tok::Xor:
        op = Op::Xor;
        return 3;
    case Tok::Or:
        op = Op::Or;
        return 4;
    case Tok::And:
        op = Op::And;
        return 5;
    // 6: Not
    case Tok::Eq:
        op = Op::Eq;
        return 7;
    case Tok::Ne:
        op = Op::Ne;
        return 7;
    case Tok::Lt:
        op = Op::Lt;
        return 7;
    case Tok::Le:
        op = Op::Le;
        return 7;
    case Tok::Gt:
        op = Op::Gt;
        return 7;
    case Tok::Ge:
        op = Op::Ge;
        return 7;
    case Tok::Is:
        op = Op::Is;
        return 7;
    case Tok::Amp:
        op = Op::Concat;
        return 8;
    case Tok::Plus:
        op = Op::Add;
        return 9;
    case Tok::Minus:
        op = Op::Sub;
        return 9;
    case Tok::Mod:
        op = Op::Mod;
        return 10;
    case Tok::Backslash:
        op = Op::IntDiv;
        return 11;
    case Tok::Star:
        op = Op::Mul;
        return 12;
    case Tok::Slash:
        op = Op::Div;
        return 12;
    case Tok::Caret:
        op = Op::Pow;
        return 13;
    default:
        return 0;
    }
}

} // namespace

ExprPtr Parser::parseExpr(int minPrec) {
    return parseInfix(parsePrefix(), minPrec);
}

ExprPtr Parser::parseInfix(ExprPtr left, int minPrec) {
    while (true) {
        Op op;
        int prec = binaryPrecedence(peek().kind, op);
        if (prec == 0 || prec < minPrec) return left;
        const Token& t = peek();
        ++pos_;
        ExprPtr right = parseExpr(prec + 1);
        auto e = makeExpr(ExprKind::Binary, t);
        e->op = op;
        e->left = std::move(left);
        e->right = std::move(right);
        left = std::move(e);
    }
}

ExprPtr Parser::parsePrefix() {
    const Token& t = peek();
    switch (t.kind) {
    case Tok::Not: {
        ++pos_;
        auto e = makeExpr(ExprKind::Unary, t);
        e->op = Op::Not;
        e->left = parseExpr(7);
        return e;
    }
    case Tok::Minus:
    case Tok::Plus: {
        ++pos_;
        // Signs bind tighter than ^: -3^2 is 9.
        ExprPtr operand = parsePrefix();
        if (t.kind == Tok::Minus && operand->kind == ExprKind::Literal && operand->hard &&
            operand->value.isNumeric() && operand->value.type() != Type::Boolean) {
            // The sign becomes part of the literal, which stays hard typed for comparisons.
            operand->value = negateLiteral(operand->value);
            operand->line = t.line;
            operand->column = t.column;
            return operand;
        }
        auto e = makeExpr(ExprKind::Unary, t);
        e->op = t.kind == Tok::Minus ? Op::Neg : Op::Plus;
        e->left = std::move(operand);
        return e;
    }
    default:
        return parseChain();
    }
}

ExprPtr Parser::parseChain() {
    const Token& t = peek();
    ExprPtr e;
    switch (t.kind) {
    case Tok::Literal:
        ++pos_;
        e = makeExpr(ExprKind::Literal, t);
        e->value = t.value;
        e->hard = true;
        return e;
    case Tok::True:
    case Tok::False:
        ++pos_;
        e = makeExpr(ExprKind::Literal, t);
        e->value = Value::boolean(t.kind == Tok::True);
        // Not hard typed: a variable holding "True" is not equal to True.
        return e;
    case Tok::Empty:
        ++pos_;
        e = makeExpr(ExprKind::Literal, t);
        return e;
    case Tok::Null:
        ++pos_;
        e = makeExpr(ExprKind::Literal, t);
        e->value = Value::null();
        return e;
    case Tok::Nothing:
        ++pos_;
        e = makeExpr(ExprKind::Literal, t);
        e->value = Value::nothing();
        return e;
    case Tok::Identifier:
        ++pos_;
        e = makeExpr(ExprKind::Name, t);
        e->name = t.text;
        break;
    case Tok::Me:
        ++pos_;
        e = makeExpr(ExprKind::Me, t);
        break;
    case Tok::Dot: {
        ++pos_;
        e = makeExpr(ExprKind::Member, t);
        e->name = identifier();
        break;
    }
    case Tok::New: {
        ++pos_;
        e = makeExpr(ExprKind::New, t);
        e->name = identifier();
        return e;
    }
    case Tok::LParen: {
        ++pos_;
        e = makeExpr(ExprKind::Paren, t);
        e->left = parseExpr();
        expect(Tok::RParen, errc::ExpectedRParen);
        break;
    }
    default:
        fail(errc::ExpectedExpression);
    }
    return parsePostfix(std::move(e));
}

ExprPtr Parser::parsePostfix(ExprPtr e) {
    while (true) {
        const Token& t = peek();
        if (t.kind == Tok::Dot && !t.spaceBefore) {
            ++pos_;
            auto m = makeExpr(ExprKind::Member, t);
            m->name = identifier();
            m->left = std::move(e);
            e = std::move(m);
            continue;
        }
        if (t.kind == Tok::LParen) {
            ++pos_;
            auto c = makeExpr(ExprKind::Call, t);
            c->line = e->line;
            c->column = e->column;
            c->args = parseArgList(Tok::RParen);
            expect(Tok::RParen, errc::ExpectedRParen);
            c->left = std::move(e);
            e = std::move(c);
            continue;
        }
        return e;
    }
}

std::vector<ExprPtr> Parser::parseArgList(Tok closer) {
    std::vector<ExprPtr> args;
    auto atEnd = [&] { return closer == Tok::RParen ? at(Tok::RParen) : atStatementEnd(); };
    if (atEnd()) return args;
    while (true) {
        if (at(Tok::Comma) || atEnd()) {
            args.push_back(makeExpr(ExprKind::Missing, peek()));
        } else {
            args.push_back(parseExpr());
        }
        if (!accept(Tok::Comma)) break;
    }
    return args;
}

} // namespace vbs
