#include "vbscript/dump.h"

#include "vbscript/convert.h"
#include "vbscript/text.h"

#include <cstdio>

namespace vbs {

const char* opName(OpCode op) {
    switch (op) {
    case OpCode::Nop:
        return "Nop";
    case OpCode::Data:
        return "Data";
    case OpCode::PushConst:
        return "PushConst";
    case OpCode::PushInt:
        return "PushInt";
    case OpCode::PushEmpty:
        return "PushEmpty";
    case OpCode::PushNull:
        return "PushNull";
    case OpCode::PushNothing:
        return "PushNothing";
    case OpCode::PushTrue:
        return "PushTrue";
    case OpCode::PushFalse:
        return "PushFalse";
    case OpCode::PushMissing:
        return "PushMissing";
    case OpCode::PushMe:
        return "PushMe";
    case OpCode::Pop:
        return "Pop";
    case OpCode::Raise:
        return "Raise";
    case OpCode::LoadLocal:
        return "LoadLocal";
    case OpCode::StoreLocal:
        return "StoreLocal";
    case OpCode::SetLocal:
        return "SetLocal";
    case OpCode::AddrLocal:
        return "AddrLocal";
    case OpCode::ClearLocal:
        return "ClearLocal";
    case OpCode::LoadField:
        return "LoadField";
    case OpCode::StoreField:
        return "StoreField";
    case OpCode::SetField:
        return "SetField";
    case OpCode::AddrField:
        return "AddrField";
    case OpCode::LoadGlobal:
        return "LoadGlobal";
    case OpCode::StoreGlobal:
        return "StoreGlobal";
    case OpCode::SetGlobal:
        return "SetGlobal";
    case OpCode::AddrGlobal:
        return "AddrGlobal";
    case OpCode::ArgGlobal:
        return "ArgGlobal";
    case OpCode::CallGlobal:
        return "CallGlobal";
    case OpCode::ArgCallGlobal:
        return "ArgCallGlobal";
    case OpCode::NewObject:
        return "NewObject";
    case OpCode::IndexLoad:
        return "IndexLoad";
    case OpCode::IndexStore:
        return "IndexStore";
    case OpCode::IndexSet:
        return "IndexSet";
    case OpCode::IndexAddr:
        return "IndexAddr";
    case OpCode::CallValue:
        return "CallValue";
    case OpCode::MemberGet:
        return "MemberGet";
    case OpCode::MemberPut:
        return "MemberPut";
    case OpCode::MemberSet:
        return "MemberSet";
    case OpCode::Add:
        return "Add";
    case OpCode::Sub:
        return "Sub";
    case OpCode::Mul:
        return "Mul";
    case OpCode::Div:
        return "Div";
    case OpCode::IntDiv:
        return "IntDiv";
    case OpCode::Mod:
        return "Mod";
    case OpCode::Pow:
        return "Pow";
    case OpCode::Concat:
        return "Concat";
    case OpCode::AppendTo:
        return "AppendTo";
    case OpCode::AppendGlobal:
        return "AppendGlobal";
    case OpCode::Neg:
        return "Neg";
    case OpCode::Not:
        return "Not";
    case OpCode::And:
        return "And";
    case OpCode::Or:
        return "Or";
    case OpCode::Xor:
        return "Xor";
    case OpCode::Eqv:
        return "Eqv";
    case OpCode::Imp:
        return "Imp";
    case OpCode::Eq:
        return "Eq";
    case OpCode::Ne:
        return "Ne";
    case OpCode::Lt:
        return "Lt";
    case OpCode::Le:
        return "Le";
    case OpCode::Gt:
        return "Gt";
    case OpCode::Ge:
        return "Ge";
    case OpCode::Is:
        return "Is";
    case OpCode::Jump:
        return "Jump";
    case OpCode::JumpIfFalse:
        return "JumpIfFalse";
    case OpCode::JumpIfTrue:
        return "JumpIfTrue";
    case OpCode::ForInit:
        return "ForInit";
    case OpCode::ForStepLocal:
        return "ForStepLocal";
    case OpCode::ForTestLocal:
        return "ForTestLocal";
    case OpCode::ForStepRef:
        return "ForStepRef";
    case OpCode::ForTestRef:
        return "ForTestRef";
    case OpCode::ForEachInit:
        return "ForEachInit";
    case OpCode::ForEachNext:
        return "ForEachNext";
    case OpCode::DimArray:
        return "DimArray";
    case OpCode::ReDim:
        return "ReDim";
    case OpCode::Erase:
        return "Erase";
    case OpCode::OnError:
        return "OnError";
    case OpCode::Return:
        return "Return";
    case OpCode::LoadElement:
        return "LoadElement";
    case OpCode::MemberGetLocal:
        return "MemberGetLocal";
    case OpCode::MemberPutLocal:
        return "MemberPutLocal";
    default:
        // Shaped arithmetic is listed as the flagged instruction it stands for.
        return opName(plainForm(Instr{op}).op);
    }
    return "?";
}

namespace {

std::string format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string valueText(const Value& v) {
    if (v.isNumeric()) return toUtf8(toString(v)) + " (" + typeName(v) + ")";
    switch (v.type()) {
    case Type::Empty:
        return "Empty";
    case Type::Null:
        return "Null";
    case Type::String:
        return "\"" + toUtf8(v.stringValue()) + "\"";
    default:
        return typeName(v);
    }
}

class Lister {
public:
    Lister(const CompiledUnit& unit, const Function& fn, uint32_t firstLine)
        : unit_(unit), fn_(fn), firstLine_(firstLine) {}

    std::string local(uint32_t slot) const {
        for (const LocalInfo& l : fn_.locals)
            if (l.slot == slot)
                return format("L%u", unsigned(slot)) +
                       (l.name.empty() ? std::string(" (hidden)") : " " + l.name);
        return format("L%u", unsigned(slot));
    }
    std::string global(uint32_t index) const {
        std::string s = format("G%u", unsigned(index));
        if (index < unit_.globals.size()) s += " " + unit_.globals[index];
        return s;
    }
    // Undeclared names assigned in a procedure live in an implicit local.
    std::string implicit(uint16_t a) const {
        return a ? " (implicit " + local(a - 1u) + ")" : std::string();
    }
    std::string constant(uint32_t index) const {
        if (index >= fn_.consts.size()) return format("K%u ?", unsigned(index));
        return format("K%u ", unsigned(index)) + valueText(fn_.consts[index]);
    }
    std::string field(uint32_t index) const {
        std::string s = format("F%u", unsigned(index));
        if (fn_.cls && index < fn_.cls->fields.size()) s += " " + fn_.cls->fields[index].name;
        return s;
    }
    static std::string call(uint8_t n) {
        std::string s = format("%u args", unsigned(n & CallFlags::kArgMask));
        if (n & CallFlags::kStatement) s += ", statement";
        return s;
    }
    static std::string target(uint32_t b) { return format("-> %u", unsigned(b)); }

    std::string variable(const Instr& in) const {
        std::string s = local(in.a);
        if (in.n & VarFlags::kByRef) s += " (ref)";
        if (in.op == OpCode::StoreLocal && (in.n & VarFlags::kFromLocal))
            s += " = " + local(in.b) + ((in.n & VarFlags::kFromRef) ? " (ref)" : "");
        if (in.n & VarFlags::kRaw) s += ", raw";
        return s;
    }

    // A binary operator: where its operands come from and where its result goes.
    std::string binary(const Instr& in) const {
        const bool ref = in.n & OpFlags::kOperandRef;
        std::string left = (in.n & OpFlags::kLeftLocal) ? local(in.a) + (ref ? " (ref)" : "")
                                                        : std::string("stack");
        std::string right = (in.n & OpFlags::kOperandLocal)   ? local(in.a) + (ref ? " (ref)" : "")
                            : (in.n & OpFlags::kOperandConst) ? constant(in.b)
                                                              : std::string("stack");
        std::string s = left + ", " + right;
        if (in.n & OpFlags::kResultToLocal) s += " -> " + local(in.a);
        if (in.n & OpFlags::kLeftLiteral) s += ", left literal";
        if (in.n & OpFlags::kRightLiteral) s += ", right literal";
        if (in.n & OpFlags::kBranch) s += ", branches";
        return s;
    }

    std::string operands(const Instr& in) const {
        switch (in.op) {
        case OpCode::Nop:
        case OpCode::PushEmpty:
        case OpCode::PushNull:
        case OpCode::PushNothing:
        case OpCode::PushTrue:
        case OpCode::PushFalse:
        case OpCode::PushMissing:
        case OpCode::PushMe:
        case OpCode::Pop:
        case OpCode::Pow:
        case OpCode::Concat:
        case OpCode::AppendTo:
        case OpCode::Neg:
        case OpCode::Not:
        case OpCode::And:
        case OpCode::Or:
        case OpCode::Xor:
        case OpCode::Eqv:
        case OpCode::Imp:
        case OpCode::Is:
        case OpCode::Erase:
        case OpCode::Return:
            return {};
        case OpCode::Data:
        case OpCode::Jump:
        case OpCode::JumpIfFalse:
        case OpCode::JumpIfTrue:
            return target(in.b);
        case OpCode::PushConst:
            return constant(in.b);
        case OpCode::PushInt:
            return format("%d", int(int16_t(int32_t(in.b))));
        case OpCode::Raise:
            return format("error %u", unsigned(in.b));
        case OpCode::LoadLocal:
        case OpCode::StoreLocal:
        case OpCode::SetLocal:
        case OpCode::AddrLocal:
        case OpCode::ClearLocal:
            return variable(in);
        case OpCode::LoadField:
        case OpCode::SetField:
        case OpCode::AddrField:
            return field(in.a);
        case OpCode::StoreField:
            return field(in.a) + ((in.n & VarFlags::kRaw) ? ", raw" : "");
        case OpCode::AddrGlobal:
            return global(in.b) + implicit(in.a) +
                   ((in.n & VarFlags::kDeclare) ? ", declares" : "");
        case OpCode::LoadGlobal:
        case OpCode::SetGlobal:
        case OpCode::ArgGlobal:
        case OpCode::NewObject:
        case OpCode::AppendGlobal:
            return global(in.b) + implicit(in.a);
        case OpCode::StoreGlobal:
            return global(in.b) + implicit(in.a) + ((in.n & VarFlags::kRaw) ? ", raw" : "");
        case OpCode::CallGlobal:
        case OpCode::ArgCallGlobal:
            return global(in.b) + implicit(in.a) + ", " + call(in.n);
        case OpCode::IndexLoad:
        case OpCode::IndexStore:
        case OpCode::IndexSet:
        case OpCode::IndexAddr:
        case OpCode::CallValue:
            return format("%u args", unsigned(in.n));
        case OpCode::MemberGet:
        case OpCode::MemberPut:
        case OpCode::MemberSet: {
            std::string name = in.b < fn_.sites.size() ? fn_.sites[in.b].name : "?";
            return format(".%s, ", name.c_str()) + call(in.n);
        }
        case OpCode::Add:
        case OpCode::Sub:
        case OpCode::Mul:
        case OpCode::Div:
        case OpCode::IntDiv:
        case OpCode::Mod:
        case OpCode::Eq:
        case OpCode::Ne:
        case OpCode::Lt:
        case OpCode::Le:
        case OpCode::Gt:
        case OpCode::Ge:
            return binary(in);
        case OpCode::ForInit:
            return "limit and step in " + local(in.a);
        case OpCode::ForStepLocal:
        case OpCode::ForTestLocal:
            return local(in.a) + ", limit and step in " + local(in.b);
        case OpCode::ForStepRef:
        case OpCode::ForTestRef:
            return "limit and step in " + local(in.a);
        case OpCode::ForEachInit:
        case OpCode::ForEachNext:
            return "iterator " + local(in.a);
        case OpCode::DimArray:
            return format("%u dimensions", unsigned(in.n));
        case OpCode::ReDim:
            return format("%u dimensions", unsigned(in.n)) + (in.a ? ", Preserve" : "");
        case OpCode::OnError:
            return (in.n & OnErrorFlags::kResumeNext) ? "Resume Next" : "GoTo 0";
        case OpCode::LoadElement:
            return local(in.a) + ((in.n & ElementFlags::kArrayRef) ? " (ref)" : "") + " at " +
                   local(in.b) + ((in.n & ElementFlags::kIndexRef) ? " (ref)" : "");
        case OpCode::MemberGetLocal:
        case OpCode::MemberPutLocal: {
            std::string name = in.b < fn_.sites.size() ? fn_.sites[in.b].name : "?";
            return local(in.a) + ((in.n & VarFlags::kByRef) ? " (ref)" : "") + "." + name;
        }
        default: // shaped arithmetic, which the listing shows in its flagged form
            return operands(plainForm(in));
        }
        return {};
    }

    std::string list() const {
        static const char* const kinds[] = {"Sub", "Function", "Property Get", "Property Let",
                                            "Property Set"};
        std::string out;
        if (fn_.isMain)
            out += "main";
        else
            out += format("%s %s", kinds[size_t(fn_.kind)], fn_.name.c_str());
        out += format(" (%u params, %u slots, stack %u)\n", unsigned(fn_.params),
                      unsigned(fn_.slots), unsigned(fn_.maxStack));
        for (size_t pc = 0; pc < fn_.code.size(); ++pc) {
            const Instr in = plainForm(fn_.code[pc]); // shaped arithmetic as its flagged form
            const StmtInfo* st = fn_.statementAt(uint32_t(pc));
            std::string line = st ? format("[%u]", unsigned(firstLine_ + st->line)) : "[-]";
            std::string ops = operands(in);
            out += format("  %4u  %-6s %-14s", unsigned(pc), line.c_str(), opName(in.op));
            if (!ops.empty() && out.back() != ' ') out += ' '; // a name as wide as the column
            out += ops;
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            out += "\n";
        }
        if (!fn_.consts.empty()) {
            out += "  constants:";
            for (size_t i = 0; i < fn_.consts.size(); ++i)
                out += "  " + constant(uint32_t(i));
            out += "\n";
        }
        return out;
    }

private:
    const CompiledUnit& unit_;
    const Function& fn_;
    uint32_t firstLine_;
};

} // namespace

std::string dumpUnit(const CompiledUnit& unit, uint32_t firstLine) {
    std::string out;
    switch (unit.kind) {
    case CompiledUnit::Kind::Code:
        out += format("code, lines %u-%u\n", unsigned(firstLine),
                      unsigned(firstLine + (unit.lines ? unit.lines - 1 : 0)));
        break;
    case CompiledUnit::Kind::Procedure:
        out += format("procedure %s, lines %u-%u\n", unit.globals[unit.nameIndex].c_str(),
                      unsigned(firstLine), unsigned(firstLine + unit.lines - 1));
        break;
    case CompiledUnit::Kind::Class: {
        const ClassInfo& cls = *unit.cls;
        out += format("class %s, lines %u-%u\n", cls.name.c_str(), unsigned(firstLine),
                      unsigned(firstLine + unit.lines - 1));
        for (size_t i = 0; i < cls.fields.size(); ++i)
            out += format("  field F%u %s%s\n", unsigned(i), cls.fields[i].name.c_str(),
                          cls.fields[i].isPublic ? "" : " (private)");
        break;
    }
    }
    for (const auto& fn : unit.functions)
        out += Lister(unit, *fn, firstLine).list();
    return out;
}

} // namespace vbs
