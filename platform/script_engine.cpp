#include "platform/script_engine.h"

namespace tv {

namespace {
ScriptEngineFactory& factory() {
    static ScriptEngineFactory f = nullptr;
    return f;
}
} // namespace

void NullScriptEngine::Reset() {
    names_.clear();
}

void NullScriptEngine::AddObject(const QString& name, QObject*, bool, bool) {
    for (const QString& taken : names_)
        if (taken.compare(name, Qt::CaseInsensitive) == 0)
            throw ScriptError(457, "This key is already associated with an element of this "
                                   "collection");
    names_.append(name);
}

void NullScriptEngine::AddCode(const QString&) {}

QVariant NullScriptEngine::Run(const QString& procedureName, const QVariantList&) {
    throw ScriptError(35, QStringLiteral("Sub or Function not defined: '%1'").arg(procedureName));
}

QVariant NullScriptEngine::Eval(const QString&) {
    return {};
}

std::unique_ptr<ScriptEngine> createScriptEngine() {
    if (factory()) return factory()();
    return std::make_unique<NullScriptEngine>();
}

void setScriptEngineFactory(ScriptEngineFactory f) {
    factory() = f;
}

} // namespace tv
