#include "platform/script_bridge.h"

#include "platform/core/errors.h"
#include "platform/named_members.h"
#include "platform/picture.h"
#include "vbscript/error.h"

#include <QDateTime>
#include <QHash>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>
#include <QTimeZone>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tv::bridge {

namespace {

std::u16string toU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size());
}
QString fromU16(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// The members of one class, by lower-cased name; built once per class.
struct Member {
    int property = -1;        // index in the meta-object, or -1
    std::vector<int> methods; // overloads, fewest parameters first
};

struct ClassTable {
    QHash<QString, int> ids; // lower-cased name -> member id (1-based; 0 is the default member)
    std::vector<Member> members{Member()};
    int defaultMember = -1;
    int newEnum = -1;
};

const ClassTable& tableFor(const QMetaObject* meta) {
    // Owned here and freed at exit; a class's table lives as long as the program.
    static std::unordered_map<const QMetaObject*, std::unique_ptr<ClassTable>> tables;
    if (const auto found = tables.find(meta); found != tables.end()) return *found->second;
    auto owned = std::make_unique<ClassTable>();
    ClassTable* t = owned.get();
    auto idFor = [t](const QString& name) {
        const QString key = name.toLower();
        auto it = t->ids.find(key);
        if (it != t->ids.end()) return *it;
        const int id = static_cast<int>(t->members.size());
        t->members.emplace_back();
        t->ids.insert(key, id);
        return id;
    };
    // QObject's own members (objectName, deleteLater, ...) are not for scripts: deleting an
    // object the player owns would pull it from under the player.
    const QMetaObject& base = QObject::staticMetaObject;
    for (int i = base.propertyCount(); i < meta->propertyCount(); ++i)
        t->members[idFor(QString::fromLatin1(meta->property(i).name()))].property = i;
    for (int i = base.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.access() != QMetaMethod::Public || m.methodType() == QMetaMethod::Signal) continue;
        if (m.methodType() != QMetaMethod::Method && m.methodType() != QMetaMethod::Slot) continue;
        t->members[idFor(QString::fromLatin1(m.name()))].methods.push_back(i);
    }
    for (Member& member : t->members)
        std::sort(member.methods.begin(), member.methods.end(), [meta](int a, int b) {
            return meta->method(a).parameterCount() < meta->method(b).parameterCount();
        });
    const int info = meta->indexOfClassInfo("DefaultMember");
    if (info >= 0) {
        const auto it = t->ids.find(QString::fromLatin1(meta->classInfo(info).value()).toLower());
        if (it != t->ids.end()) t->defaultMember = *it;
    }
    const auto it = t->ids.find("newenum");
    if (it != t->ids.end()) t->newEnum = *it;
    tables.emplace(meta, std::move(owned));
    return *t;
}

class ListEnumerator : public vbs::Enumerator {
public:
    explicit ListEnumerator(QVariantList items) : items_(std::move(items)) {}
    bool next(vbs::Value& out) override {
        if (position_ >= items_.size()) return false;
        out = toScript(items_[position_++]);
        return true;
    }

private:
    QVariantList items_;
    qsizetype position_ = 0;
};

class QObjectWrapper : public vbs::Object {
public:
    // `owned`: an object made only for scripts (a picture), freed with its last reference.
    explicit QObjectWrapper(QObject* object, bool owned = false)
        : object_(object), owned_(owned ? object : nullptr),
          table_(&tableFor(object->metaObject())) {}

    QObject* object() const { return object_; }

    int memberId(std::string_view name) override {
        const QString key = QString::fromUtf8(name.data(), name.size()).toLower();
        const auto it = table_->ids.find(key);
        if (it != table_->ids.end()) return *it;
        // Named objects beyond the class (a form's controls) get ids after the class's own.
        if (const auto* named = dynamic_cast<const NamedMembers*>(object_.data())) {
            if (QObject* member = named->namedMember(key)) {
                named_.push_back(member);
                return static_cast<int>(table_->members.size() + named_.size() - 1);
            }
        }
        // Members of the object this one stands for get ids of their own range.
        if (const auto* d = dynamic_cast<const MemberDelegate*>(object_.data())) {
            if (QObject* target = d->memberDelegate()) {
                if (bridge::unwrap(delegate_.objectValue()) != target)
                    delegate_ = vbs::Value::object(wrap(target));
                const int id = delegate_.objectValue()->memberId(name);
                if (id > 0) return kDelegatedMembers + id;
            }
        }
        return kNoMember;
    }
    // Ids of named and lent members differ from object to object: call sites must not keep
    // them.
    const void* memberTable() const override {
        const QObject* o = object_.data();
        return dynamic_cast<const NamedMembers*>(o) || dynamic_cast<const MemberDelegate*>(o)
                   ? nullptr
                   : table_;
    }
    const void* identity() const override { return object_.data(); }
    std::string typeName() const override {
        return object_ ? object_->metaObject()->className() : "Nothing";
    }

    vbs::Value invoke(int id, vbs::Invoke kind, std::span<vbs::Value> args) override {
        QObject* o = live();
        if (id > kDelegatedMembers) {
            if (!delegate_.objectValue()) throw vbs::ScriptError(err::NoSuchMember);
            return delegate_.objectValue()->invoke(id - kDelegatedMembers, kind, args);
        }
        if (id == kDefaultMember) {
            if (table_->defaultMember < 0) throw vbs::ScriptError(err::NoSuchMember);
            id = table_->defaultMember;
        }
        const auto classMembers = static_cast<int>(table_->members.size());
        if (id >= classMembers && id - classMembers < static_cast<int>(named_.size()))
            return namedMember(named_[id - classMembers], kind, args);
        if (id <= 0 || id >= classMembers) throw vbs::ScriptError(err::NoSuchMember);
        const Member& member = table_->members[id];
        // A player call's VbError reaches the script as it is: it is the script's error type.
        if (member.property >= 0) return property(o, member, kind, args);
        return call(o, member, kind, args);
    }

    std::unique_ptr<vbs::Enumerator> enumerate() override {
        if (table_->newEnum < 0) return nullptr;
        const vbs::Value list = invoke(table_->newEnum, vbs::Invoke::Get, {});
        return std::make_unique<ListEnumerator>(fromScript(list).toList());
    }

private:
    static vbs::Value namedMember(QObject* member, vbs::Invoke kind, std::span<vbs::Value> args) {
        if (kind == vbs::Invoke::Let || kind == vbs::Invoke::Set)
            throw vbs::ScriptError(err::WrongArgumentCount);
        if (!member) throw vbs::ScriptError(err::ObjectVariableNotSet);
        const vbs::Value value = vbs::Value::object(wrap(member));
        return args.empty() ? value : vbs::applyArguments(value, args);
    }

    QObject* live() const {
        if (!object_) throw vbs::ScriptError(err::ObjectVariableNotSet); // the control has gone
        return object_;
    }

    vbs::Value property(QObject* o, const Member& member, vbs::Invoke kind,
                        std::span<vbs::Value> args) {
        const QMetaProperty p = o->metaObject()->property(member.property);
        if (kind == vbs::Invoke::Let || kind == vbs::Invoke::Set) {
            if (args.size() != 1 || !p.isWritable())
                throw vbs::ScriptError(err::WrongArgumentCount);
            QVariant value = fromScript(args[0]);
            if (p.metaType().id() != QMetaType::QVariant && !value.convert(p.metaType()))
                throw vbs::ScriptError(err::TypeMismatch);
            p.write(o, value);
            return {};
        }
        const vbs::Value value = toScript(p.read(o));
        if (args.empty()) return value;
        return vbs::applyArguments(value, args);
    }

    vbs::Value call(QObject* o, const Member& member, vbs::Invoke kind,
                    std::span<vbs::Value> args) {
        // A property assignment through a method (obj.Item(1) = x) is not a thing here.
        if (kind == vbs::Invoke::Let || kind == vbs::Invoke::Set)
            throw vbs::ScriptError(err::WrongArgumentCount);
        const QMetaObject* meta = o->metaObject();
        for (int index : member.methods) {
            const QMetaMethod m = meta->method(index);
            if (m.parameterCount() != static_cast<int>(args.size())) continue;
            if (args.size() > 10) break;
            std::vector<QVariant> values;
            values.reserve(args.size());
            for (size_t i = 0; i < args.size(); ++i) {
                QVariant v = fromScript(args[i]);
                const QMetaType wanted = m.parameterMetaType(static_cast<int>(i));
                if (wanted.id() != QMetaType::QVariant && !v.convert(wanted))
                    throw vbs::ScriptError(err::TypeMismatch);
                values.push_back(std::move(v));
            }
            QGenericArgument generic[10];
            for (size_t i = 0; i < values.size(); ++i) {
                const QMetaType wanted = m.parameterMetaType(static_cast<int>(i));
                generic[i] = wanted.id() == QMetaType::QVariant
                                 ? QGenericArgument("QVariant", &values[i])
                                 : QGenericArgument(wanted.name(), values[i].constData());
            }
            const QMetaType returnType = m.returnMetaType();
            QVariant result;
            QGenericReturnArgument ret;
            if (returnType.id() != QMetaType::Void) {
                result = returnType.id() == QMetaType::QVariant ? QVariant() : QVariant(returnType);
                ret = returnType.id() == QMetaType::QVariant
                          ? QGenericReturnArgument("QVariant", &result)
                          : QGenericReturnArgument(returnType.name(), result.data());
            }
            if (!m.invoke(o, Qt::DirectConnection, ret, generic[0], generic[1], generic[2],
                          generic[3], generic[4], generic[5], generic[6], generic[7], generic[8],
                          generic[9]))
                throw vbs::ScriptError(err::NoSuchMember);
            return toScript(result);
        }
        throw vbs::ScriptError(err::WrongArgumentCount); // no overload takes this many arguments
    }

    static constexpr int kDelegatedMembers = 1 << 24;

    QPointer<QObject> object_;
    std::unique_ptr<QObject> owned_;
    std::vector<QPointer<QObject>> named_;
    vbs::Value delegate_; // the script object of the MemberDelegate's target
    const ClassTable* table_;
};

// Pictures go to scripts as objects and come back from them as pictures (Nothing is no
// picture).
void registerPictureConversion() {
    static const bool done = QMetaType::registerConverter<QObject*, Picture>([](QObject* o) {
        const auto* picture = qobject_cast<const PictureObject*>(o);
        return picture ? picture->picture() : Picture();
    });
    (void)done;
}

QDateTime zeroDate() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
}

} // namespace

namespace {

// Receives the signals of one object through slots it makes up: each connection targets a
// method index past the class's own, which qt_metacall then hands to the handler.
class SignalRelay : public QObject {
public:
    SignalRelay(QObject* source, EventHandler handler)
        : source_(source), handler_(std::move(handler)) {
        const QMetaObject* meta = source->metaObject();
        const int base = QObject::staticMetaObject.methodCount();
        for (int i = base; i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            if (m.methodType() != QMetaMethod::Signal) continue;
            const int slot = metaObject()->methodCount() + static_cast<int>(signals_.size());
            if (QMetaObject::connect(source, i, this, slot, Qt::DirectConnection))
                signals_.push_back(m);
        }
    }

    int qt_metacall(QMetaObject::Call call, int id, void** argv) override {
        id = QObject::qt_metacall(call, id, argv);
        if (id < 0 || call != QMetaObject::InvokeMetaMethod) return id;
        if (id < static_cast<int>(signals_.size())) relay(signals_[id], argv);
        return -1;
    }

private:
    // A by-reference parameter ("int&") has no meta type of its own: its value type's is used.
    static QMetaType parameterType(const QMetaMethod& m, int i, bool& byReference) {
        const QByteArray name = m.parameterTypes().value(i);
        byReference = name.endsWith('&') && !name.startsWith("const ");
        return byReference ? QMetaType::fromName(name.chopped(1)) : m.parameterMetaType(i);
    }

    void relay(const QMetaMethod& m, void** argv) {
        QVariantList args;
        bool byReference = false;
        for (int i = 0; i < m.parameterCount(); ++i)
            args.append(QVariant(parameterType(m, i, byReference), argv[i + 1]));
        handler_(QString::fromLatin1(m.name()), args);
        // What the handler left in a by-reference argument goes back to the sender.
        for (int i = 0; i < m.parameterCount() && i < args.size(); ++i) {
            const QMetaType type = parameterType(m, i, byReference);
            QVariant value = args[i];
            if (!byReference || !type.isValid() || !value.convert(type)) continue;
            type.destruct(argv[i + 1]);
            type.construct(argv[i + 1], value.constData());
        }
    }

    QPointer<QObject> source_;
    EventHandler handler_;
    std::vector<QMetaMethod> signals_;
};

} // namespace

std::unique_ptr<QObject> connectEvents(QObject* source, EventHandler handler) {
    return std::make_unique<SignalRelay>(source, std::move(handler));
}

vbs::Object* wrap(QObject* object) {
    registerPictureConversion();
    return object ? new QObjectWrapper(object) : nullptr;
}

QObject* unwrap(const vbs::Object* object) {
    auto* wrapper = dynamic_cast<const QObjectWrapper*>(object);
    return wrapper ? wrapper->object() : nullptr;
}

ScriptObjectHandle::ScriptObjectHandle(vbs::Object* object) : object_(object) {
    if (object_) object_->addRef();
}
ScriptObjectHandle::ScriptObjectHandle(const ScriptObjectHandle& other)
    : ScriptObjectHandle(other.object_) {}
ScriptObjectHandle& ScriptObjectHandle::operator=(const ScriptObjectHandle& other) {
    if (other.object_) other.object_->addRef();
    if (object_) object_->release();
    object_ = other.object_;
    return *this;
}
ScriptObjectHandle::~ScriptObjectHandle() {
    if (object_) object_->release();
}

vbs::Value toScript(const QVariant& value) {
    if (!value.isValid()) return {};
    const QMetaType type = value.metaType();
    if (type.flags() & QMetaType::PointerToQObject)
        return vbs::Value::object(wrap(value.value<QObject*>()));
    switch (type.id()) {
    case QMetaType::Nullptr:
        return vbs::Value::null();
    case QMetaType::Bool:
        return vbs::Value::boolean(value.toBool());
    case QMetaType::Short:
        return vbs::Value::integer(value.value<qint16>());
    case QMetaType::UChar:
        return vbs::Value::byte(value.value<uchar>());
    case QMetaType::Int:
    case QMetaType::UShort:
        return vbs::Value::lng(value.toInt());
    case QMetaType::Float:
        return vbs::Value::single(value.toFloat());
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong: {
        const qint64 v = value.toLongLong();
        if (v >= INT32_MIN && v <= INT32_MAX) return vbs::Value::lng(static_cast<int32_t>(v));
        return vbs::Value::dbl(static_cast<double>(v));
    }
    case QMetaType::Double:
        return vbs::Value::dbl(value.toDouble());
    case QMetaType::QString:
        return vbs::Value::string(toU16(value.toString()));
    case QMetaType::QDateTime: {
        const double days = zeroDate().msecsTo(value.toDateTime().toUTC()) / 86400000.0;
        return vbs::Value::date(days);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        std::vector<vbs::Value> items;
        for (const QVariant& item : value.toList())
            items.push_back(toScript(item));
        return vbs::Value::array(vbs::Array::fromValues(std::move(items)));
    }
    default:
        break;
    }
    if (type == QMetaType::fromType<Picture>()) {
        registerPictureConversion();
        return vbs::Value::object(
            new QObjectWrapper(new PictureObject(value.value<Picture>()), true));
    }
    if (type == QMetaType::fromType<ScriptObjectHandle>())
        return vbs::Value::object(value.value<ScriptObjectHandle>().get());
    if (value.canConvert<QString>()) return vbs::Value::string(toU16(value.toString()));
    throw vbs::ScriptError(err::UnsupportedAutomationType);
}

QVariant fromScript(const vbs::Value& value) {
    switch (value.type()) {
    case vbs::Type::Empty:
        return {};
    case vbs::Type::Null:
        return QVariant::fromValue(nullptr);
    case vbs::Type::Integer:
        return QVariant::fromValue<qint16>(value.integerValue());
    case vbs::Type::Long:
        return QVariant(static_cast<int>(value.longValue()));
    case vbs::Type::Single:
        return QVariant(value.singleValue());
    case vbs::Type::Double:
        return QVariant(value.doubleValue());
    case vbs::Type::Currency:
        return QVariant(static_cast<double>(value.currencyValue()) / 10000.0);
    case vbs::Type::Date:
        return QVariant(zeroDate().addMSecs(std::llround(value.dateValue() * 86400000.0)));
    case vbs::Type::Error:
        return QVariant(static_cast<int>(value.errorValue()));
    case vbs::Type::Boolean:
        return QVariant(value.booleanValue());
    case vbs::Type::Byte:
        return QVariant::fromValue<uchar>(value.byteValue());
    case vbs::Type::String:
        return QVariant(fromU16(value.stringValue()));
    case vbs::Type::Object: {
        vbs::Object* object = value.objectValue();
        if (!object) return QVariant::fromValue<QObject*>(nullptr);
        if (QObject* qobject = unwrap(object)) return QVariant::fromValue(qobject);
        return QVariant::fromValue(ScriptObjectHandle(object));
    }
    case vbs::Type::Array: {
        QVariantList items;
        vbs::Array* array = value.arrayValue();
        for (size_t i = 0; i < array->size(); ++i)
            items.append(fromScript(array->data()[i]));
        return items;
    }
    default:
        return {};
    }
}

} // namespace tv::bridge
