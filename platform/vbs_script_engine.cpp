#include "platform/vbs_script_engine.h"

#include "platform/script_bridge.h"
#include "vbscript/engine.h"
#include "vbscript/error.h"

namespace tv {

namespace {
std::u16string toU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size());
}
QString fromU16(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

[[noreturn]] void rethrow(const vbs::ScriptError& e) {
    throw ScriptError(e.number(), fromU16(e.message()), e.line(), e.column());
}

std::shared_ptr<vbs::CompileCache>& sharedCache() {
    static auto cache = std::make_shared<vbs::CompileCache>();
    return cache;
}
} // namespace

VbsScriptEngine::VbsScriptEngine() : engine_(std::make_unique<vbs::Engine>()) {
    engine_->setCompileCache(sharedCache());
    engine_->setTimeout(kDefaultTimeoutMs);
}

VbsScriptEngine::~VbsScriptEngine() = default;

void VbsScriptEngine::setHostServices(vbs::HostServices* services) {
    engine_->setHost(services);
}

void VbsScriptEngine::Reset() {
    try {
        engine_->reset();
    } catch (const vbs::ScriptError& e) {
        rethrow(e);
    }
}

void VbsScriptEngine::AddObject(const QString& name, QObject* object, bool addMembers,
                                bool beforeBuiltins) {
    try {
        // Held here, so that the wrapper goes when the engine refuses the name.
        const vbs::Value held = vbs::Value::object(bridge::wrap(object));
        engine_->addObject(name.toStdString(), held.objectValue(), addMembers, beforeBuiltins);
    } catch (const vbs::ScriptError& e) {
        rethrow(e);
    }
}

void VbsScriptEngine::AddCode(const QString& code) {
    try {
        // Read in place: the text holds every procedure of the project.
        engine_->addCode(
            std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), code.size()));
    } catch (const vbs::ScriptError& e) {
        rethrow(e);
    }
}

QVariant VbsScriptEngine::Run(const QString& procedureName, const QVariantList& args) {
    try {
        std::vector<vbs::Value> values;
        values.reserve(args.size());
        for (const QVariant& a : args)
            values.push_back(bridge::toScript(a));
        return bridge::fromScript(engine_->run(procedureName.toStdString(), values));
    } catch (const vbs::ScriptError& e) {
        rethrow(e);
    }
}

QVariant VbsScriptEngine::Eval(const QString& expression) {
    try {
        return bridge::fromScript(engine_->eval(toU16(expression)));
    } catch (const vbs::ScriptError& e) {
        rethrow(e);
    }
}

int VbsScriptEngine::Timeout() const {
    return engine_->timeout();
}
void VbsScriptEngine::SetTimeout(int milliseconds) {
    engine_->setTimeout(milliseconds);
}
bool VbsScriptEngine::isRunning() const {
    return engine_->isRunning();
}

QVector<ScriptProcedure> VbsScriptEngine::Procedures() const {
    QVector<ScriptProcedure> out;
    for (const vbs::ProcedureInfo& p : engine_->procedures())
        out.append({QString::fromStdString(p.name), p.argumentCount, p.hasReturnValue});
    return out;
}

void installVbsScriptEngine() {
    setScriptEngineFactory(
        []() -> std::unique_ptr<ScriptEngine> { return std::make_unique<VbsScriptEngine>(); });
}

} // namespace tv
