#include "platform/core/errors.h"
#include "platform/named_members.h"
#include "platform/script_bridge.h"
#include "platform/vbs_script_engine.h"

#include <QObject>
#include <QTimeZone>
#include <QVariantList>
#include <gtest/gtest.h>

using namespace tv;

namespace {
class Counter : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Value")
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(bool Ready READ ready)
    Q_PROPERTY(QVariant Anything MEMBER anything_)
public:
    QString name() const { return name_; }
    void setName(const QString& n) { name_ = n; }
    int value() const { return value_; }
    void setValue(int v) {
        if (v > 1000) throw vbError(err::Overflow);
        value_ = v;
    }
    bool ready() const { return true; }

    Q_INVOKABLE int Add(int amount, int times = 1) {
        value_ += amount * times;
        return value_;
    }
    Q_INVOKABLE QString Describe(const QVariant& anything) const {
        return anything.isValid() ? anything.toString() : QString("empty");
    }
    Q_INVOKABLE QObject* Self() { return this; }
    Q_INVOKABLE QVariantList NewEnum() const { return {1, QString("two"), 3.5}; }

private:
    QString name_;
    int value_ = 0;
    QVariant anything_;
};

class Door : public QObject {
    Q_OBJECT
signals:
    void Knock(int times, const QString& who);
    void QueryClose(int& cancel);
};

// Stands for another object: its own Name first, the rest lent by the target.
class StandIn : public QObject, public MemberDelegate {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name)
public:
    QString name() const { return QStringLiteral("stand-in"); }
    QObject* memberDelegate() const override { return target; }
    QObject* target = nullptr;
};

struct Bridge : ::testing::Test {
    VbsScriptEngine engine;
    Counter counter;
    void SetUp() override { engine.AddObject("Counter", &counter, false); }
    QVariant eval(const QString& expression) { return engine.Eval(expression); }
};
} // namespace

TEST_F(Bridge, PropertiesAndMethodsAnyCase) {
    engine.AddCode("Sub Go()\r\n"
                   "  counter.name = \"Lamp\"\r\n"
                   "  COUNTER.Value = 7\r\n"
                   "  Counter.add 2, 3\r\n"
                   "  Counter.Add 1\r\n"
                   "End Sub\r\n");
    engine.Run("Go");
    EXPECT_EQ(counter.name(), "Lamp");
    EXPECT_EQ(counter.value(), 14);
    EXPECT_EQ(eval("Counter.Add(1) & \"\"").toString(), "15");
    EXPECT_EQ(eval("Counter.Ready").toBool(), true);
    EXPECT_EQ(eval("Counter.Describe(\"x\")").toString(), "x");
    EXPECT_EQ(eval("Counter.Describe(Empty)").toString(), "empty");
    engine.AddCode("Sub Keep()\r\n  Counter.Anything = \"any\" & 1\r\nEnd Sub\r\n");
    engine.Run("Keep");
    EXPECT_EQ(eval("Counter.Anything").toString(), "any1") << "a variant property takes any value";
}

TEST_F(Bridge, DefaultMemberIdentityAndForEach) {
    counter.setValue(5);
    EXPECT_EQ(eval("Counter + 1").toInt(), 6) << "reading the object by value reads Value";
    EXPECT_EQ(eval("Counter.Self() Is Counter").toBool(), true);
    engine.AddCode("Function Walk()\r\n"
                   "  Dim item, s\r\n"
                   "  For Each item In Counter\r\n"
                   "    s = s & item & \";\"\r\n"
                   "  Next\r\n"
                   "  Walk = s\r\n"
                   "End Function\r\n");
    EXPECT_EQ(engine.Run("Walk").toString(), "1;two;3.5;");
}

TEST_F(Bridge, HostErrorsBecomeScriptErrorsThatScriptsCanTrap) {
    try {
        engine.AddCode("Sub Big()\r\n  Counter.Value = 5000\r\nEnd Sub\r\n");
        engine.Run("Big");
        FAIL() << "the host refused the value";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.line(), 2);
    }
    engine.AddCode("Function Trapped()\r\n"
                   "  On Error Resume Next\r\n"
                   "  Counter.Value = 5000\r\n"
                   "  Trapped = Err.Number\r\n"
                   "End Function\r\n");
    EXPECT_EQ(engine.Run("Trapped").toInt(), 6);
    EXPECT_THROW(eval("Counter.NoSuchMember"), VbError);
    EXPECT_THROW(eval("Counter.Add()"), VbError) << "no overload takes no argument";
}

TEST_F(Bridge, AnObjectThatWentAwayIsNotSet) {
    auto* temporary = new Counter;
    engine.AddObject("Temporary", temporary, false);
    EXPECT_EQ(eval("Temporary.Value").toInt(), 0);
    delete temporary;
    try {
        eval("Temporary.Value");
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 91);
    }
}

TEST_F(Bridge, AStandInLendsTheMembersOfItsTarget) {
    StandIn first, second;
    Door door;
    first.target = &counter;
    second.target = &door;
    counter.setName("Lamp");
    engine.AddObject("First", &first, false);
    engine.AddObject("Second", &second, false);
    // One call site sees stand-ins with different targets: lent ids are never kept.
    engine.AddCode("Function NameOf(o)\r\n  NameOf = o.Name\r\nEnd Function\r\n"
                   "Function AddTo(o)\r\n  AddTo = o.Add(5)\r\nEnd Function\r\n");
    EXPECT_EQ(engine.Run("NameOf", {QVariant::fromValue<QObject*>(&first)}).toString(), "stand-in");
    EXPECT_EQ(engine.Run("AddTo", {QVariant::fromValue<QObject*>(&first)}).toInt(), 5);
    EXPECT_THROW(engine.Run("AddTo", {QVariant::fromValue<QObject*>(&second)}), VbError);
    engine.AddCode("Sub SetIt()\r\n  First.Value = 9\r\nEnd Sub\r\n");
    engine.Run("SetIt");
    EXPECT_EQ(counter.value(), 9);
    first.target = nullptr;
    EXPECT_THROW(engine.Run("AddTo", {QVariant::fromValue<QObject*>(&first)}), VbError);
}

TEST(BridgeValues, ConversionsBothWays) {
    using bridge::fromScript;
    using bridge::toScript;
    EXPECT_EQ(fromScript(toScript(QVariant::fromValue<qint16>(-3))).typeId(), QMetaType::Short);
    EXPECT_EQ(fromScript(toScript(QString("héllo"))).toString(), "héllo");
    EXPECT_EQ(fromScript(toScript(true)).toBool(), true);
    EXPECT_FALSE(fromScript(toScript(QVariant())).isValid());
    const QVariantList list = fromScript(toScript(QVariantList{1, QString("a")})).toList();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[1].toString(), "a");
    const QDateTime when(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    EXPECT_EQ(fromScript(toScript(when)).toDateTime(), when);
    EXPECT_EQ(toScript(QVariant(qint64(1) << 40)).type(), vbs::Type::Double);
}

#include "test_script_bridge.moc"

TEST(BridgeEvents, SignalsReachTheHandlerAndByReferenceArgumentsComeBack) {
    Door door;
    QStringList heard;
    auto relay = bridge::connectEvents(&door, [&](const QString& event, QVariantList& args) {
        QStringList parts{event};
        for (const QVariant& a : args)
            parts.append(a.toString());
        heard.append(parts.join(' '));
        if (event == "QueryClose") args[0] = 1;
    });
    emit door.Knock(3, "Ann");
    int cancel = 0;
    emit door.QueryClose(cancel);
    EXPECT_EQ(heard, (QStringList{"Knock 3 Ann", "QueryClose 0"}));
    EXPECT_EQ(cancel, 1);
    // QObject's own signals are not events, and nothing arrives once the relay has gone.
    relay.reset();
    emit door.Knock(1, "Bob");
    door.setObjectName("x");
    EXPECT_EQ(heard.size(), 2);
}
