#pragma once
// Game variables: named integer (16-bit) and variant variables that actions change, hotspot
// conditions test, scripts read and write and saved games store. Scripts reach each variable as
// an object with Name and Value, and the lists as 1-based collections.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <functional>

namespace tv {

class ClassVariable : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(int Value READ value WRITE setValue)
public:
    using QObject::QObject;
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    qint16 value() const { return value_; }
    // Outside -32768..32767: "Overflow" (6).
    void setValue(int value);

private:
    QString name_;
    qint16 value_ = 0;
};

class ClassVariableVariant : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(QVariant Value READ value WRITE setValue)
public:
    using QObject::QObject;
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    const QVariant& value() const { return value_; }
    void setValue(const QVariant& value) { value_ = value; }

private:
    QString name_;
    QVariant value_ = QVariant::fromValue<qint16>(0); // the integer 0, never Empty
};

class ClassVariableString : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(QString Value READ value WRITE setValue)
public:
    using QObject::QObject;
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    const QString& value() const { return value_; }
    void setValue(const QString& value) { value_ = value; }

private:
    QString name_;
    QString value_;
};

// The ordered, 1-based collection behind every list: by position, or by a key when one was
// given. Entries are owned by the collection.
class ObjectCollection : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
public:
    using QObject::QObject;
    ~ObjectCollection() override;

    int count() const { return entries_.size(); }
    // A number is a 1-based position, a text a key; anything else or out of range:
    // "Invalid procedure call or argument" (5).
    Q_INVOKABLE QObject* Item(const QVariant& indexOrKey) const;
    Q_INVOKABLE void Remove(const QVariant& indexOrKey);
    // For each: the entries in order.
    const QList<QObject*>& entries() const { return entries_; }
    void clear();

protected:
    void append(QObject* entry, const QString& key);

private:
    int positionOf(const QVariant& indexOrKey) const;
    QList<QObject*> entries_;
    QStringList keys_;
};

class VariablesCollection : public ObjectCollection {
    Q_OBJECT
public:
    using ObjectCollection::ObjectCollection;
    Q_INVOKABLE QObject* Add(const QString& name, int value, const QString& sKey = {});
    ClassVariable* at(int position) const; // 1-based
};

class VariantCollection : public ObjectCollection {
    Q_OBJECT
public:
    using ObjectCollection::ObjectCollection;
    Q_INVOKABLE QObject* Add(const QString& name, const QVariant& value, const QString& sKey = {});
    ClassVariableVariant* at(int position) const;
};

class VariablesStrCollection : public ObjectCollection {
    Q_OBJECT
public:
    using ObjectCollection::ObjectCollection;
    Q_INVOKABLE QObject* Add(const QString& name, const QString& value, const QString& sKey = {});
};

// A list of rows, each row an ordered collection of values.
class MultiColumnsRow : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
public:
    explicit MultiColumnsRow(QVariantList values, QObject* parent = nullptr)
        : QObject(parent), values_(std::move(values)) {}
    int count() const { return values_.size(); }
    Q_INVOKABLE QVariant Item(int position) const; // 1-based
    const QVariantList& values() const { return values_; }

private:
    QVariantList values_;
};

class MultiColumnsList : public ObjectCollection {
    Q_OBJECT
public:
    using ObjectCollection::ObjectCollection;
    Q_INVOKABLE QObject* Add(const QVariantList& args);
};

class GameVariables {
public:
    // The operations on game variables; names are matched exactly unless said otherwise.
    // -1 toggles (Value XOR 1); every entry of that name is changed.
    void ChangeVariableValue(const QString& name, qint16 newValue);
    void ChangeVariableVariantValue(const QString& name, const QVariant& value);
    // The first exact match; -32000 when no variable has that name.
    qint16 GetVariableValue(const QString& name) const;
    // Case-insensitive.
    bool DoesIntergerVariableExist(const QString& name) const;
    bool DoesVariantVariableExist(const QString& name) const;
    // Case-insensitive, variant list first; nullptr when none.
    QObject* GetVariableReferenceFromName(const QString& name) const;

    struct PluginVariables {
        QStringList integers;
        QStringList variants;
    };
    // Rebuilds both lists from the "Variables" file, then adds what plugins declare.
    void LoadVariables(const QString& variablesFilePath,
                       const QList<PluginVariables>& plugins = {});
    void clear();

    // The editor's side of the "Variables" file: a leading field, the integer names, then "***"
    // and the variant names when there are any.
    static void writeVariablesFile(const QString& path, const QStringList& integers,
                                   const QStringList& variants = {});

    static constexpr qint16 kMissing = -32000;

    VariablesCollection Variables;
    VariantCollection VariablesVariant;
};

} // namespace tv
