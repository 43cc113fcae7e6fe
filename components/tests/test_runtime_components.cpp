// Run-time components on the test component library: made, found, used and removed in a frame
// display; their events run procedures of a real script engine; the libraries' registration,
// the Windows libraries that are skipped and the native ones that need the player's permission.

#include "components/component_library.h"
#include "components/runtime_components.h"
#include "data/reports.h"
#include "platform/controls.h"
#include "platform/core/dialogs.h"
#include "platform/core/event_log.h"
#include "platform/script_engine.h"
#include "platform/tests/qt_app.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLibraryInfo>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace tv;

namespace {

const QString kLibrary = QStringLiteral(TV_TEST_COMPONENT_DIR "/libtvtestcomponent.so");
const QString kHangingLibrary = QStringLiteral(TV_TEST_COMPONENT_DIR "/libtvtestcomponent_hang.so");
const QString kProgId = QStringLiteral("TorvaneTest.Control");

const QString kReport = QStringLiteral("msgbox Error|An error has occurred. The program may not "
                                       "work properly. Click OK and then press Ctrl+Q to quit."
                                       "\\n\\nError description:");

// What the scripts of an event hand back to the test.
class Recorder : public QObject {
    Q_OBJECT
public:
    QStringList notes;
    std::function<void()> during;
    Q_INVOKABLE void Note(const QVariant& value) { notes << value.toString(); }
    Q_INVOKABLE void Act() {
        if (during) during();
    }
};

class Site : public ComponentSite {
public:
    Site() : window("Game"), display(&window, "PictureBox") {
        engine->AddObject("Recorder", &recorder, false);
    }
    ContainerControl& componentContainer() override { return display; }
    QVector<ScriptProcedure> componentProcedures() override { return engine->Procedures(); }
    void resetScriptRequests() override { calls << "reset"; }
    void runEventProcedure(const QString& procedure, QObject* parameters) override {
        calls << "run " + procedure;
        engine->Run(procedure, {QVariant::fromValue(parameters)});
    }
    void executeConsequences() override { calls << "consequences"; }

    QStringList calls;
    Recorder recorder;
    std::unique_ptr<ScriptEngine> engine = createScriptEngine();
    Form window;
    PictureBox display;
};

struct Components : ::testing::Test {
    void SetUp() override {
        DialogService::instance().setAutomated(true);
        setGameTitle("Test Game");
        libraries.setRegistryPath(dir.path() + "/components.ini");
        // The test library stands in for a library the player ships: no permission needed.
        libraries.setShipped({{"libtvtestcomponent.so", "TestControl.ocx", {kProgId}}},
                             {TV_TEST_COMPONENT_DIR});
        libraries.setNativeAllowedForRun(false);
        libraries.setGameFolder({});
        components.setSite(&site);
        components.setCreator([this](const QString& progId, QWidget* container) {
            return libraries.create(progId, container);
        });
    }

    // The log lines written while `action` ran.
    QStringList logged(const std::function<void()>& action) {
        const qsizetype before = EventLog::instance().lines().size();
        action();
        return EventLog::instance().lines().mid(before);
    }

    // Widgets need the application first.
    QApplication& app = test::app();
    QTemporaryDir dir;
    ComponentLibraries libraries;
    Site site;
    RuntimeComponents components;
};

QObject* objectOf(QObject* extender) {
    return extender ? extender->property("Object").value<QObject*>() : nullptr;
}

} // namespace

TEST_F(Components, AComponentIsMadeFoundUsedAndRemoved) {
    EXPECT_TRUE(logged([&] {
                    components.AddAdditionalComponent(kProgId, "Test1", true, false);
                }).isEmpty());
    ASSERT_EQ(components.rows().size(), 1);
    EXPECT_EQ(components.rows()[0].name, "test1");
    EXPECT_TRUE(components.rows()[0].appearDuringTransitions);
    EXPECT_FALSE(components.rows()[0].disappearBeforeAlphaBlending);
    EXPECT_TRUE(components.exists("TEST1"));

    QObject* extender = components.GetComponentRef("tEsT1");
    ASSERT_NE(extender, nullptr);
    EXPECT_EQ(extender->property("Name").toString(), "test1");
    EXPECT_EQ(extender->property("Container").value<Control*>(), &site.display);
    EXPECT_EQ(site.display.findControl("test1"), extender);
    QObject* control = objectOf(extender);
    ASSERT_NE(control, nullptr);
    int sum = 0;
    QMetaObject::invokeMethod(control, "Add", Q_RETURN_ARG(int, sum), Q_ARG(int, 2), Q_ARG(int, 3));
    EXPECT_EQ(sum, 5);
    // Scripts reach the control's members on the extender, the host's own first.
    site.engine->AddObject("Comp", extender, false);
    EXPECT_EQ(site.engine->Eval("Comp.Add(2, 3) & Comp.Name & Comp.Object.Add(1, 1)").toString(),
              "5test12");

    QPointer<QObject> watch(extender);
    EXPECT_TRUE(logged([&] { components.RemoveAdditionalComponent("TEST1"); }).isEmpty());
    EXPECT_TRUE(watch.isNull());
    EXPECT_TRUE(components.rows().isEmpty());
    EXPECT_EQ(logged([&] { EXPECT_EQ(components.GetComponentRef("Test1"), nullptr); }),
              QStringList{kReport + " The component named \"Test1\" could not be found.|OK"});
    EXPECT_EQ(logged([&] { components.RemoveAdditionalComponent("Test1"); }),
              QStringList{kReport +
                          " The component named \"Test1\" could not be removed because it could "
                          "not be found.|OK"});
}

TEST_F(Components, NamesAreUniqueWithoutCaseAndHaveNoSpaces) {
    components.AddAdditionalComponent(kProgId, "Pano1", false, false);
    EXPECT_EQ(logged([&] { components.AddAdditionalComponent(kProgId, "PANO1", false, false); }),
              QStringList{kReport +
                          " A component named \"PANO1\" already exists. Please use a different "
                          "name.|OK"});
    EXPECT_EQ(logged([&] { components.AddAdditionalComponent(kProgId, "my pano", false, false); }),
              QStringList{kReport + " The component name must not contain spaces or other special "
                                    "characters.|OK"});
    EXPECT_TRUE(logged([&] {
                    components.AddAdditionalComponent(kProgId, "a.b-c!", false, false);
                }).isEmpty());
    EXPECT_EQ(components.rows().size(), 2);
}

TEST_F(Components, AProgIdThatIsNotInstalledKeepsItsNameUntilRemoved) {
    EXPECT_EQ(logged([&] { components.AddAdditionalComponent("No.Such", "Ghost", false, false); }),
              QStringList{kReport +
                          " Error in Game.AddAdditionalComponent. The component is probably not "
                          "installed properly.  ActiveX component can't create object|OK"});
    EXPECT_TRUE(components.exists("ghost"));
    EXPECT_EQ(
        logged([&] { components.AddAdditionalComponent(kProgId, "Ghost", false, false); }).value(0),
        kReport + " A component named \"Ghost\" already exists. Please use a different "
                  "name.|OK");
    // Removing the name of a control that was never made lets the name go, quietly.
    EXPECT_TRUE(logged([&] { components.RemoveAdditionalComponent("Ghost"); }).isEmpty());
    components.AddAdditionalComponent(kProgId, "Ghost", false, false);
    EXPECT_NE(objectOf(components.GetComponentRef("Ghost")), nullptr);
}

TEST_F(Components, SlotsAreNeverReusedUntilAReset) {
    components.AddAdditionalComponent(kProgId, "a", false, false);
    components.AddAdditionalComponent(kProgId, "b", false, false);
    components.RemoveAdditionalComponent("a");
    components.AddAdditionalComponent(kProgId, "c", false, true);
    EXPECT_EQ(components.sinkSlots(), 4);
    EXPECT_EQ(components.sink(1), nullptr);
    ASSERT_EQ(components.rows().size(), 2);
    EXPECT_EQ(components.rows()[0].sink, 2);
    EXPECT_EQ(components.rows()[1].sink, 3);
    EXPECT_EQ(objectOf(components.GetComponentRef("b")), components.sink(2)->component()->object());

    components.ResetComponents();
    EXPECT_TRUE(components.rows().isEmpty());
    EXPECT_EQ(components.sinkSlots(), 1);
    EXPECT_TRUE(site.display.controls().isEmpty());
    components.AddAdditionalComponent(kProgId, "a", false, false);
    EXPECT_EQ(components.rows()[0].sink, 1);
}

TEST_F(Components, ProgIdsAreTriedWithoutLeavingAControlOrAMessage) {
    EXPECT_TRUE(logged([&] {
                    EXPECT_TRUE(components.DoesProgIDExist("torvanetest.control"));
                    EXPECT_FALSE(components.DoesProgIDExist("Bogus.Control"));
                }).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(site.display.controls().isEmpty());
    EXPECT_EQ(site.display.findControl("ProgIDTestComponent"), nullptr);
}

TEST_F(Components, PausingCallsWhatComponentsHaveAndSkipsTheOthers) {
    components.AddAdditionalComponent(kProgId, "withMethods", false, false);
    components.setCreator(
        [](const QString&, QWidget* container) { return new QWidget(container); });
    components.AddAdditionalComponent("Plain.Widget", "plain", false, false);
    EXPECT_TRUE(logged([&] {
                    components.PauseComponents();
                    components.PauseComponents();
                    components.ResumeComponents();
                }).isEmpty());
    QObject* control = objectOf(components.GetComponentRef("withMethods"));
    EXPECT_EQ(control->property("Pauses").toInt(), 2);
    EXPECT_EQ(control->property("Resumes").toInt(), 1);
}

TEST_F(Components, TheEventsListSplitsProceduresAtTheFirstUnderscore) {
    site.engine->AddCode("Sub a_b_c(p)\r\nEnd Sub\r\nSub Test1_Changed(p)\r\nEnd Sub\r\n"
                         "Sub NoUnderscore()\r\nEnd Sub\r\nSub x_(p)\r\nEnd Sub\r\n");
    components.BuildAllEventsList();
    EXPECT_EQ(components.EventsList(),
              (QList<QStringList>{{"a", "b_c"}, {"test1", "changed"}, {"x", ""}}));
    site.engine->Reset();
    components.BuildAllEventsList();
    EXPECT_TRUE(components.EventsList().isEmpty());
}

TEST_F(Components, EventsRunTheirProcedureWithParametersWrittenBack) {
    site.engine->AddCode(
        "Sub test1_changed(p)\r\n"
        "  Recorder.Note p.Count & \" \" & p(0) & \" \" & p(1) & \" \" & p(2).Value\r\n"
        "  Recorder.Note p(0).Name & \" \" & p(\"ANSWER\").Name\r\n"
        "  p(2).Value = p(2) * 10\r\n"
        "  p(\"text\").Value = \"from the script\"\r\n"
        "End Sub\r\n");
    components.AddAdditionalComponent(kProgId, "Test1", false, false);
    components.BuildAllEventsList();
    QObject* control = objectOf(components.GetComponentRef("test1"));
    const QStringList lines = logged([&] {
        QMetaObject::invokeMethod(control, "Change", Q_ARG(QString, "hello"), Q_ARG(int, 4));
    });
    EXPECT_TRUE(lines.isEmpty()) << lines.join('\n').toStdString();
    EXPECT_EQ(site.recorder.notes, (QStringList{"4 hello 7 4", "newCaption answer"}));
    EXPECT_EQ(site.calls, (QStringList{"reset", "run test1_changed", "consequences"}));
    EXPECT_EQ(control->property("LastAnswer").toInt(), 40);
    EXPECT_EQ(control->property("LastText").toString(), "from the script");

    // Events without a procedure, and a component renamed away from its procedures, do nothing.
    site.calls.clear();
    QMetaObject::invokeMethod(control, "Ping");
    EXPECT_TRUE(site.calls.isEmpty());
}

TEST_F(Components, AFailingEventProcedureIsReportedAndTheGameGoesOn) {
    site.engine->AddCode("Sub test1_pinged(p)\r\n  x = 1 / 0\r\nEnd Sub\r\n");
    components.AddAdditionalComponent(kProgId, "Test1", false, false);
    components.BuildAllEventsList();
    QObject* control = objectOf(components.GetComponentRef("test1"));
    const QStringList lines = logged([&] { QMetaObject::invokeMethod(control, "Ping"); });
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(kReport + "Error in Component_ObjectEvent. Division by zero"))
        << lines[0].toStdString();
    EXPECT_EQ(site.calls, (QStringList{"reset", "run test1_pinged"}));
}

TEST_F(Components, AnEventMayRemoveItsOwnComponent) {
    site.engine->AddCode(
        "Sub test1_changed(p)\r\n  Recorder.Act\r\n  p(2).Value = 9\r\nEnd Sub\r\n");
    components.AddAdditionalComponent(kProgId, "Test1", false, false);
    components.BuildAllEventsList();
    QPointer<QObject> control = objectOf(components.GetComponentRef("test1"));
    site.recorder.during = [&] {
        components.RemoveAdditionalComponent("test1");
        components.AddAdditionalComponent(kProgId, "Test1", false, false);
    };
    QMetaObject::invokeMethod(control, "Change", Q_ARG(QString, "bye"), Q_ARG(int, 1));
    // The old control heard its answer and goes once its signal has returned.
    ASSERT_FALSE(control.isNull());
    EXPECT_EQ(control->property("LastAnswer").toInt(), 9);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(control.isNull());
    ASSERT_EQ(site.display.controls().size(), 1);
    EXPECT_EQ(site.display.controls()[0], components.GetComponentRef("test1"));
}

// ---------------------------------------------------------------------------------------------
// Control libraries

TEST_F(Components, RegistrationRecordsTheProgIdsOfALibrary) {
    libraries.setShipped({}, {});
    EXPECT_TRUE(libraries.libraryFor(kProgId).isEmpty());
    EXPECT_FALSE(libraries.RunLibraryEntryPoint(dir.path() + "/missing.so", false));
    // A library without the entry point.
    EXPECT_FALSE(libraries.RunLibraryEntryPoint(
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6Core.so.6", false));
    EXPECT_TRUE(libraries.RunLibraryEntryPoint(kLibrary, false));
    EXPECT_EQ(libraries.libraryFor("TORVANETEST.CONTROL"), QFileInfo(kLibrary).canonicalFilePath());
    EXPECT_TRUE(libraries.RunLibraryEntryPoint(kLibrary, true));
    EXPECT_TRUE(libraries.libraryFor(kProgId).isEmpty());
}

TEST_F(Components, ARegistrationThatHangsFailsAfterTheLimit) {
    libraries.setShipped({}, {});
    libraries.setRegistrationLimitMs(50);
    EXPECT_FALSE(libraries.RunLibraryEntryPoint(kHangingLibrary, false));
    QLibrary hanging(kHangingLibrary);
    ASSERT_TRUE(hanging.load());
    const auto release = reinterpret_cast<void (*)()>(hanging.resolve("tvTestReleaseRegistration"));
    ASSERT_NE(release, nullptr);
    release();
    // What the worker names after the limit is not recorded.
    EXPECT_TRUE(libraries.libraryFor(kProgId).isEmpty());
}

TEST_F(Components, WindowsLibrariesAreSkippedAndCountWhenShipped) {
    QDir(dir.path()).mkpath("CPData");
    for (const char* name : {"CPData/TestControl.ocx", "CPData/Other.ocx"}) {
        QFile f(dir.path() + '/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("MZ\x90\0", 4) + QByteArray(60, '\0'));
    }
    const QStringList lines = logged([&] {
        EXPECT_TRUE(libraries.RegisterControlLibrary(dir.path() + "/CPData/TestControl.ocx"));
        EXPECT_FALSE(libraries.RegisterControlLibrary(dir.path() + "/CPData/Other.ocx"));
    });
    EXPECT_EQ(lines, (QStringList{"component skipped TestControl.ocx (Windows library)",
                                  "component skipped Other.ocx (Windows library)"}));
    QFile text(dir.path() + "/CPData/notes.so");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a library");
    text.close();
    EXPECT_EQ(logged([&] { EXPECT_FALSE(libraries.RegisterControlLibrary(text.fileName())); }),
              QStringList{"component skipped notes.so (not a library)"});
    EXPECT_FALSE(libraries.RegisterControlLibrary(dir.path() + "/CPData/missing.ocx"));
    EXPECT_EQ(libraryKind(dir.path() + "/CPData/Other.ocx"), LibraryKind::Windows);
    EXPECT_EQ(libraryKind(kLibrary), LibraryKind::Elf);
}

TEST_F(Components, ALibraryOfTheGameNeedsThePlayersPermission) {
    libraries.setShipped({}, {});
    libraries.setGameFolder(dir.path());
    QDir(dir.path()).mkpath("CPData");
    const QString copy = dir.path() + "/CPData/libgame.so";
    ASSERT_TRUE(QFile::copy(kLibrary, copy));

    // Unattended, the question takes its default No, which is not remembered.
    QStringList lines = logged([&] { libraries.RegisterControlLibraries(dir.path() + "/CPData"); });
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("msgbox Native components|")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "component skipped libgame.so (native components not allowed)");
    EXPECT_TRUE(libraries.libraryFor(kProgId).isEmpty());

    DialogService::instance().queueAnswer("Yes");
    lines = logged([&] { EXPECT_TRUE(libraries.RegisterControlLibrary(copy)); });
    EXPECT_EQ(libraries.libraryFor(kProgId), QFileInfo(copy).canonicalFilePath());

    // Registered but not allowed now: it is not loaded to make a control.
    components.AddAdditionalComponent(kProgId, "Test1", false, false);
    EXPECT_EQ(objectOf(components.GetComponentRef("Test1")), nullptr);
    libraries.setNativeAllowedForRun(true);
    components.AddAdditionalComponent(kProgId, "Test2", false, false);
    EXPECT_NE(objectOf(components.GetComponentRef("Test2")), nullptr);

    // Another game's library is not loaded for this one, even with permission.
    QTemporaryDir other;
    libraries.setGameFolder(other.path());
    const QStringList refused = logged([&] { EXPECT_FALSE(components.DoesProgIDExist(kProgId)); });
    EXPECT_EQ(refused, QStringList{"component skipped libgame.so (not part of this game)"});
}

namespace {
// The player at the screen: answers every question the same way, and counts them.
class Player : public DialogPresenter {
public:
    int answer = mb::Yes;
    int asked = 0;
    int msgBox(const QString&, int, const QString&) override {
        ++asked;
        return answer;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};
} // namespace

TEST_F(Components, ThePlayersAnswerIsRememberedForEachGame) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    Player player;
    DialogService& dialogs = DialogService::instance();
    dialogs.setAutomated(false);
    dialogs.setPresenter(&player);

    QDir(dir.path()).mkpath("yes");
    QDir(dir.path()).mkpath("no");
    libraries.setGameFolder(dir.path() + "/yes");
    EXPECT_TRUE(libraries.nativeComponentsAllowed());
    EXPECT_TRUE(libraries.nativeComponentsAllowed());
    player.answer = mb::No;
    libraries.setGameFolder(dir.path() + "/no");
    EXPECT_FALSE(libraries.nativeComponentsAllowed());
    EXPECT_FALSE(libraries.nativeComponentsAllowed());
    // Another run of the player remembers both.
    ComponentLibraries later;
    later.setGameFolder(dir.path() + "/yes/");
    EXPECT_TRUE(later.nativeComponentsAllowed());
    later.setGameFolder(dir.path() + "/no");
    EXPECT_FALSE(later.nativeComponentsAllowed());
    EXPECT_EQ(player.asked, 2);

    dialogs.setPresenter(nullptr);
    dialogs.setAutomated(true);
    qputenv("XDG_CONFIG_HOME", config);
}

#include "test_runtime_components.moc"
