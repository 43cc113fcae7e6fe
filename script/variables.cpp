#include "script/variables.h"

#include "data/reports.h"
#include "data/variables_file.h"
#include "platform/core/errors.h"
#include "platform/core/records.h"

namespace tv {

void ClassVariable::setValue(int value) {
    if (value < -32768 || value > 32767) throw vbError(err::Overflow);
    value_ = static_cast<qint16>(value);
}

ObjectCollection::~ObjectCollection() {
    clear();
}

void ObjectCollection::clear() {
    qDeleteAll(entries_);
    entries_.clear();
    keys_.clear();
}

void ObjectCollection::append(QObject* entry, const QString& key) {
    if (!key.isEmpty() && keys_.contains(key, Qt::CaseInsensitive)) {
        delete entry;
        throw vbError(err::KeyAlreadyInCollection);
    }
    entry->setParent(nullptr);
    entries_.append(entry);
    keys_.append(key);
}

int ObjectCollection::positionOf(const QVariant& indexOrKey) const {
    if (indexOrKey.typeId() == QMetaType::QString) {
        const QString key = indexOrKey.toString();
        for (int i = 0; i < keys_.size(); ++i)
            if (!keys_[i].isEmpty() && keys_[i].compare(key, Qt::CaseInsensitive) == 0) return i;
        throw vbError(err::InvalidCall);
    }
    bool ok = false;
    const double position = indexOrKey.toDouble(&ok);
    const long long rounded = std::llround(position);
    if (!ok || rounded < 1 || rounded > entries_.size()) throw vbError(err::InvalidCall);
    return static_cast<int>(rounded - 1);
}

QObject* ObjectCollection::Item(const QVariant& indexOrKey) const {
    return entries_[positionOf(indexOrKey)];
}

void ObjectCollection::Remove(const QVariant& indexOrKey) {
    const int i = positionOf(indexOrKey);
    delete entries_.takeAt(i);
    keys_.removeAt(i);
}

QObject* VariablesCollection::Add(const QString& name, int value, const QString& sKey) {
    auto* v = new ClassVariable;
    v->setName(name);
    try {
        v->setValue(value);
    } catch (...) {
        delete v;
        throw;
    }
    append(v, sKey);
    return v;
}

ClassVariable* VariablesCollection::at(int position) const {
    return static_cast<ClassVariable*>(entries().at(position - 1));
}

QObject* VariantCollection::Add(const QString& name, const QVariant& value, const QString& sKey) {
    auto* v = new ClassVariableVariant;
    v->setName(name);
    v->setValue(value);
    append(v, sKey);
    return v;
}

ClassVariableVariant* VariantCollection::at(int position) const {
    return static_cast<ClassVariableVariant*>(entries().at(position - 1));
}

QObject* VariablesStrCollection::Add(const QString& name, const QString& value,
                                     const QString& sKey) {
    auto* v = new ClassVariableString;
    v->setName(name);
    v->setValue(value);
    append(v, sKey);
    return v;
}

QVariant MultiColumnsRow::Item(int position) const {
    if (position < 1 || position > values_.size()) throw vbError(err::InvalidCall);
    return values_[position - 1];
}

QObject* MultiColumnsList::Add(const QVariantList& args) {
    auto* row = new MultiColumnsRow(args);
    append(row, {});
    return row;
}

namespace {
void reportChangeFailure(const QString& name) {
    standardErrorReport(" Unable to change the value of the following variable: '" + name +
                        "'. The variable may have been removed during the project creation.");
}
} // namespace

void GameVariables::ChangeVariableValue(const QString& name, qint16 newValue) {
    try {
        for (QObject* o : Variables.entries()) {
            auto* v = static_cast<ClassVariable*>(o);
            if (v->name() != name) continue;
            v->setValue(newValue == -1 ? (v->value() ^ 1) : newValue);
        }
    } catch (const VbError&) {
        reportChangeFailure(name);
    }
}

void GameVariables::ChangeVariableVariantValue(const QString& name, const QVariant& value) {
    for (QObject* o : VariablesVariant.entries()) {
        auto* v = static_cast<ClassVariableVariant*>(o);
        if (v->name() == name) v->setValue(value);
    }
}

qint16 GameVariables::GetVariableValue(const QString& name) const {
    for (QObject* o : Variables.entries()) {
        auto* v = static_cast<ClassVariable*>(o);
        if (v->name() == name) return v->value();
    }
    return kMissing;
}

namespace {
template <class T> T* findIgnoringCase(const ObjectCollection& list, const QString& name) {
    const QString lower = name.toLower();
    for (QObject* o : list.entries()) {
        auto* v = static_cast<T*>(o);
        if (v->name().toLower() == lower) return v;
    }
    return nullptr;
}
} // namespace

bool GameVariables::DoesIntergerVariableExist(const QString& name) const {
    return findIgnoringCase<ClassVariable>(Variables, name) != nullptr;
}

bool GameVariables::DoesVariantVariableExist(const QString& name) const {
    return findIgnoringCase<ClassVariableVariant>(VariablesVariant, name) != nullptr;
}

QObject* GameVariables::GetVariableReferenceFromName(const QString& name) const {
    if (auto* v = findIgnoringCase<ClassVariableVariant>(VariablesVariant, name)) return v;
    return findIgnoringCase<ClassVariable>(Variables, name);
}

void GameVariables::clear() {
    Variables.clear();
    VariablesVariant.clear();
}

void GameVariables::LoadVariables(const QString& variablesFilePath,
                                  const QList<PluginVariables>& plugins) {
    clear();
    VariablesFile file;
    try {
        readVariablesFile(variablesFilePath, file);
    } catch (const VbError&) {
        standardErrorReport(" Unable to load variables list.");
    }
    // A broken file keeps the names read before the failure.
    for (const QString& name : file.integers)
        Variables.Add(name, 0);
    for (const QString& name : file.variants)
        VariablesVariant.Add(name, QVariant::fromValue<qint16>(0));
    for (const PluginVariables& plugin : plugins) {
        for (const QString& name : plugin.integers)
            if (!DoesIntergerVariableExist(name)) Variables.Add(name, 0);
        for (const QString& name : plugin.variants)
            if (!DoesVariantVariableExist(name))
                VariablesVariant.Add(name, QVariant::fromValue<qint16>(0));
    }
}

void GameVariables::writeVariablesFile(const QString& path, const QStringList& integers,
                                       const QStringList& variants) {
    VariablesFile file;
    file.integers = integers;
    file.variants = variants;
    tv::writeVariablesFile(path, file);
}

} // namespace tv
