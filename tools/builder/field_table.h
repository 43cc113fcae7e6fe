#pragma once
// One table per record type: each key of a description map, the record field it stands for and
// how its value is read and written. Reading and describing both walk the table, so that a key
// is named once and the two directions cannot drift apart.
//
// Everything is relative to a base record: a fresh one, or the one reading starts from (a
// hotspot's position, an item action's key). Reading an absent key leaves the base's value;
// describing writes a key only where the record differs from the base. So an empty map reads as
// the base, and the base is described as an empty map.

#include "tools/builder/yaml_reader.h"

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace tv::builder {

template <class R> struct Field {
    const char* key = "";
    // Reads the field's key (or keys) from the map, when given.
    std::function<void(const Reader&, Fields&, R&)> read;
    // Adds the field's key (or keys) to the map, where `rec` differs from `base`.
    std::function<void(YamlNode&, const R& rec, const R& base)> describe;
    std::function<bool(const R& rec, const R& base)> differs;
    // The value standing alone for its group (`message: Hello` for `message: {text: Hello}`).
    // Unset where the field cannot stand alone; describeAlone gives nothing where the value
    // would not read back alone.
    std::function<void(const Reader&, const YAML::Node&, const QString& what, R&)> readAlone;
    std::function<std::optional<YamlNode>(const R&)> describeAlone;
    // Read ahead of the other keys of its map. The order of reading is the order in which
    // messages list a map's known keys, which need not be the order of describing.
    bool early = false;

    Field&& readFirst() && {
        early = true;
        return std::move(*this);
    }
};

template <class R> using Table = std::vector<Field<R>>;

template <class R> void readTable(const Reader& r, Fields& f, R& rec, const Table<R>& table) {
    for (const Field<R>& field : table)
        if (field.early) field.read(r, f, rec);
    for (const Field<R>& field : table)
        if (!field.early) field.read(r, f, rec);
}

template <class R>
void describeTable(YamlNode& m, const R& rec, const R& base, const Table<R>& table) {
    for (const Field<R>& field : table)
        field.describe(m, rec, base);
}

template <class R> bool tableDiffers(const R& rec, const R& base, const Table<R>& table) {
    for (const Field<R>& field : table)
        if (field.differs(rec, base)) return true;
    return false;
}

// How a value of each stored type is read and written.
template <class T> struct Plain;

template <> struct Plain<bool> {
    static bool read(const Reader& r, const YAML::Node& n, const QString& what, const bool&) {
        return r.boolean(n, what);
    }
    static YamlNode describe(bool v) { return YamlNode::boolean(v); }
};

template <> struct Plain<qint16> {
    static qint16 read(const Reader& r, const YAML::Node& n, const QString& what, const qint16&) {
        return r.int16(n, what);
    }
    static YamlNode describe(qint16 v) { return YamlNode::number(double(v)); }
};

template <> struct Plain<qint32> {
    static qint32 read(const Reader& r, const YAML::Node& n, const QString& what, const qint32&) {
        return r.int32(n, what);
    }
    static YamlNode describe(qint32 v) { return YamlNode::number(double(v)); }
};

template <> struct Plain<double> {
    static double read(const Reader& r, const YAML::Node& n, const QString& what, const double&) {
        return r.real(n, what);
    }
    static YamlNode describe(double v) { return YamlNode::number(v); }
};

template <> struct Plain<QString> {
    static QString read(const Reader& r, const YAML::Node& n, const QString& what, const QString&) {
        return r.text(n, what);
    }
    static YamlNode describe(const QString& v) { return YamlNode::text(v); }
    static QString readAlone(const Reader& r, const YAML::Node& n, const QString& what) {
        return r.text(n, what);
    }
    static std::optional<YamlNode> describeAlone(const QString& v) { return YamlNode::text(v); }
};

template <> struct Plain<RecordValue> {
    static RecordValue read(const Reader& r, const YAML::Node& n, const QString& what,
                            const RecordValue&) {
        return r.value(n, what);
    }
    static YamlNode describe(const RecordValue& v) { return describeValue(v); }
    // Alone, the value is a text: a lone `5` names the file "5".
    static RecordValue readAlone(const Reader& r, const YAML::Node& n, const QString& what) {
        return RecordValue::ofString(r.text(n, what));
    }
    static std::optional<YamlNode> describeAlone(const RecordValue& v) {
        if (v.kind != RecordValue::Kind::String) return std::nullopt;
        return YamlNode::text(v.text);
    }
};

// A run of values keeps the length the record gives it: the file stores that many.
template <> struct Plain<QList<RecordValue>> {
    static QList<RecordValue> read(const Reader& r, const YAML::Node& n, const QString& what,
                                   const QList<RecordValue>& current) {
        return r.values(n, what, int(current.size()));
    }
    static YamlNode describe(const QList<RecordValue>& v) { return describeValues(v); }
};

template <> struct Plain<QStringList> {
    static QStringList read(const Reader& r, const YAML::Node& n, const QString& what,
                            const QStringList&) {
        return r.names(n, what);
    }
    static YamlNode describe(const QStringList& v) { return describeNames(v); }
};

template <> struct Plain<QList<qint16>> {
    static QList<qint16> read(const Reader& r, const YAML::Node& n, const QString& what,
                              const QList<qint16>&) {
        QList<qint16> numbers;
        for (const YAML::Node& item : r.items(n, what))
            numbers.append(r.int16(item, what));
        return numbers;
    }
    static YamlNode describe(const QList<qint16>& v) {
        YamlNode list = YamlNode::seq(true);
        for (qint16 n : v)
            list.append(YamlNode::number(n));
        return list;
    }
};

template <class T>
concept StandsAlone = requires(const T& v) {
    Plain<T>::describeAlone(v);
};

// A field reached through `get`, a generic lambda giving the field of a record (const or not).
template <class R, class Get> Field<R> fieldAt(const char* key, Get get) {
    using T = std::remove_cvref_t<decltype(get(std::declval<R&>()))>;
    Field<R> f;
    f.key = key;
    f.read = [key, get](const Reader& r, Fields& fields, R& rec) {
        if (YAML::Node n = fields[key]; n.IsDefined())
            get(rec) = Plain<T>::read(r, n, key, get(rec));
    };
    f.describe = [key, get](YamlNode& m, const R& rec, const R& base) {
        if (get(rec) != get(base)) m.add(key, Plain<T>::describe(get(rec)));
    };
    f.differs = [get](const R& rec, const R& base) { return get(rec) != get(base); };
    if constexpr (StandsAlone<T>) {
        f.readAlone = [get](const Reader& r, const YAML::Node& n, const QString& what, R& rec) {
            get(rec) = Plain<T>::readAlone(r, n, what);
        };
        f.describeAlone = [get](const R& rec) { return Plain<T>::describeAlone(get(rec)); };
    }
    return f;
}

template <class M> struct MemberOf;
template <class R, class T> struct MemberOf<T R::*> { using Record = R; };

// A field that is a member of the record: field<&Record::Member>("key").
template <auto M> Field<typename MemberOf<decltype(M)>::Record> field(const char* key) {
    using R = typename MemberOf<decltype(M)>::Record;
    return fieldAt<R>(
        key, [](auto& rec) -> auto& { return rec.*M; });
}

// A script in a general field: the readable script under `key`, or, where the stored text is
// not one that encoding gives back, the stored value under KEY_stored.
RecordValue readScript(const Reader& r, Fields& f, const char* key, QuoteCodec codec,
                       const RecordValue& current);
void describeScript(YamlNode& m, const char* key, const RecordValue& stored, QuoteCodec codec);
// The readable script of a stored one, when it reads back as the same stored text.
std::optional<QString> readableScript(const RecordValue& stored, QuoteCodec codec);

template <auto M>
Field<typename MemberOf<decltype(M)>::Record> script(const char* key, QuoteCodec codec) {
    using R = typename MemberOf<decltype(M)>::Record;
    Field<R> f;
    f.key = key;
    f.read = [key, codec](const Reader& r, Fields& fields, R& rec) {
        rec.*M = readScript(r, fields, key, codec, rec.*M);
    };
    f.describe = [key, codec](YamlNode& m, const R& rec, const R& base) {
        if (rec.*M != base.*M) describeScript(m, key, rec.*M, codec);
    };
    f.differs = [](const R& rec, const R& base) { return rec.*M != base.*M; };
    f.readAlone = [codec](const Reader& r, const YAML::Node& n, const QString& what, R& rec) {
        rec.*M = RecordValue::ofString(r.script(n, what, codec));
    };
    f.describeAlone = [codec](const R& rec) -> std::optional<YamlNode> {
        if (auto code = readableScript(rec.*M, codec)) return YamlNode::text(*code);
        return std::nullopt;
    };
    return f;
}

// [left, top, width, height], described when any is set.
template <auto L, auto T, auto W, auto H>
Field<typename MemberOf<decltype(L)>::Record> rect(const char* key) {
    using R = typename MemberOf<decltype(L)>::Record;
    using V = std::remove_cvref_t<decltype(std::declval<R&>().*L)>;
    Field<R> f;
    f.key = key;
    f.read = [key](const Reader& r, Fields& fields, R& rec) {
        const YAML::Node n = fields[key];
        if (!n.IsDefined()) return;
        const QList<YAML::Node> xywh = r.items(n, key);
        if (xywh.size() != 4) r.fail(n, QString(key) + " is [left, top, width, height]");
        rec.*L = Plain<V>::read(r, xywh[0], "left", rec.*L);
        rec.*T = Plain<V>::read(r, xywh[1], "top", rec.*T);
        rec.*W = Plain<V>::read(r, xywh[2], "width", rec.*W);
        rec.*H = Plain<V>::read(r, xywh[3], "height", rec.*H);
    };
    f.differs = [](const R& rec, const R& base) {
        return rec.*L != base.*L || rec.*T != base.*T || rec.*W != base.*W || rec.*H != base.*H;
    };
    f.describe = [key, differs = f.differs](YamlNode& m, const R& rec, const R& base) {
        if (!differs(rec, base)) return;
        m.add(key, YamlNode::seq(true)
                       .append(Plain<V>::describe(rec.*L))
                       .append(Plain<V>::describe(rec.*T))
                       .append(Plain<V>::describe(rec.*W))
                       .append(Plain<V>::describe(rec.*H)));
    };
    return f;
}

// A nested map of fields described by its own table.
template <class R> struct Group {
    const char* key = "";
    Table<R> fields{};
    // Names the map in messages; the key when unset.
    const char* what = nullptr;
    // Sets what a given map means before its keys are read, typically the switch that giving
    // the map turns on. Describing compares the map's keys with a base switched on the same way.
    std::function<void(R&)> given{};
    // The key of `fields` whose value may stand for the whole map, where every other key is as
    // `given` leaves it.
    const char* alone = nullptr;
    // Whether the map is described; by default where any of its fields differs from the base.
    std::function<bool(const R&, const R& base)> present{};
    // Checks the values read (before unknown keys are refused), with the map for messages.
    std::function<void(const Reader&, const YAML::Node&, const R&)> check{};
};

template <class R> Field<R> group(Group<R> fields) {
    auto g = std::make_shared<const Group<R>>(std::move(fields));
    const Field<R>* alone = nullptr;
    for (const Field<R>& candidate : g->fields)
        if (g->alone && QByteArray(candidate.key) == g->alone) alone = &candidate;
    auto switchedOn = [g](const R& base) {
        R on = base;
        if (g->given) g->given(on);
        return on;
    };
    Field<R> f;
    f.key = g->key;
    f.read = [g, alone](const Reader& r, Fields& fields, R& rec) {
        const YAML::Node n = fields[g->key];
        if (!n.IsDefined()) return;
        if (alone && !n.IsMap()) {
            if (g->given) g->given(rec);
            alone->readAlone(r, n, g->key, rec);
            return;
        }
        Fields inner(r, n, g->what ? g->what : g->key);
        if (g->given) g->given(rec);
        readTable(r, inner, rec, g->fields);
        if (g->check) g->check(r, n, rec);
        inner.finish();
    };
    f.differs = [g](const R& rec, const R& base) { return tableDiffers(rec, base, g->fields); };
    f.describe = [g, alone, switchedOn](YamlNode& m, const R& rec, const R& base) {
        if (g->present ? !g->present(rec, base) : !tableDiffers(rec, base, g->fields)) return;
        const R on = switchedOn(base);
        if (alone) {
            bool othersAsGiven = true;
            for (const Field<R>& other : g->fields)
                if (&other != alone && other.differs(rec, on)) othersAsGiven = false;
            if (othersAsGiven) {
                if (std::optional<YamlNode> v = alone->describeAlone(rec)) {
                    m.add(g->key, std::move(*v));
                    return;
                }
            }
        }
        YamlNode inner = YamlNode::map();
        describeTable(inner, rec, on, g->fields);
        m.add(g->key, std::move(inner));
    };
    return f;
}

// A map that calls a procedure: `procedure_call: Greet "Ann"` when switched on, else
// {code, enabled}.
template <auto Enabled, auto Call>
Field<typename MemberOf<decltype(Enabled)>::Record> procedureCall() {
    using R = typename MemberOf<decltype(Enabled)>::Record;
    return group<R>(
        {.key = "procedure_call",
         .fields = {script<Call>("code", QuoteCodec::Bar), field<Enabled>("enabled").readFirst()},
         .given = [](R& rec) { rec.*Enabled = true; },
         .alone = "code"});
}

} // namespace tv::builder
