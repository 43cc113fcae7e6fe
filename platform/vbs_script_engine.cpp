#include "platform/vbs_script_engine.h"

#include "platform/core/dialogs.h"
#include "platform/core/files.h"
#include "platform/picture.h"
#include "platform/script_bridge.h"
#include "vbscript/engine.h"

namespace tv {

namespace {
std::u16string toU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size());
}
QString fromU16(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

std::shared_ptr<vbs::CompileCache>& sharedCache() {
    static auto cache = std::make_shared<vbs::CompileCache>();
    return cache;
}
} // namespace

// Scripts' own MsgBox and InputBox go through the player's dialog service, so automated runs log
// and answer them; the default title stands in when a script gives none.
class VbsHostServices : public vbs::HostServices {
public:
    QString defaultTitle;

    int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        return DialogService::instance().msgBox(fromU16(prompt), buttons, titleOr(title));
    }
    vbs::Value inputBox(const std::u16string& prompt, const std::u16string& title,
                        const std::u16string& defaultText) override {
        const auto answer = DialogService::instance().inputBox(fromU16(prompt), titleOr(title),
                                                               fromU16(defaultText));
        return vbs::Value::string(toU16(answer.value_or(QString())));
    }
    // LoadPicture: a project path, found without case.
    vbs::Value loadPicture(const std::u16string& path) override {
        const QString name = fromU16(path);
        return bridge::toScript(
            QVariant::fromValue(Picture::load(name.isEmpty() ? QString() : files::resolve(name))));
    }

private:
    QString titleOr(const std::u16string& title) const {
        return title.empty() ? defaultTitle : fromU16(title);
    }
};

std::unique_ptr<ScriptEngine> createScriptEngine() {
    return std::make_unique<VbsScriptEngine>();
}

VbsScriptEngine::VbsScriptEngine()
    : services_(std::make_unique<VbsHostServices>()), engine_(std::make_unique<vbs::Engine>()) {
    engine_->setCompileCache(sharedCache());
    engine_->setTimeout(kDefaultTimeoutMs);
    engine_->setHost(services_.get());
}

VbsScriptEngine::~VbsScriptEngine() = default;

void VbsScriptEngine::SetDefaultBoxTitle(const QString& title) {
    services_->defaultTitle = title;
}

void VbsScriptEngine::Reset() {
    engine_->reset();
}

void VbsScriptEngine::AddObject(const QString& name, QObject* object, bool addMembers,
                                bool beforeBuiltins) {
    // Held here, so that the wrapper goes when the engine refuses the name.
    const vbs::Value held = vbs::Value::object(bridge::wrap(object));
    engine_->addObject(name.toStdString(), held.objectValue(), addMembers, beforeBuiltins);
}

void VbsScriptEngine::AddCode(const QString& code) {
    // Read in place: the text holds every procedure of the project.
    engine_->addCode(
        std::u16string_view(reinterpret_cast<const char16_t*>(code.utf16()), code.size()));
}

QVariant VbsScriptEngine::Run(const QString& procedureName, const QVariantList& args) {
    std::vector<vbs::Value> values;
    values.reserve(args.size());
    for (const QVariant& a : args)
        values.push_back(bridge::toScript(a));
    return bridge::fromScript(engine_->run(procedureName.toStdString(), values));
}

QVariant VbsScriptEngine::Eval(const QString& expression) {
    return bridge::fromScript(engine_->eval(toU16(expression)));
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

} // namespace tv
