#include "platform/core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tv;

namespace {

class Settings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("deep/er/settings.ini");
};

// Restores an environment variable when the test ends.
class EnvGuard {
public:
    explicit EnvGuard(const char* name)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {}
    ~EnvGuard() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace

TEST_F(Settings, ValuesOutliveTheStoreAndCreateTheFolder) {
    SettingsStore(path).save("Software", "My Game", "ChangeResolution", "0");
    SettingsStore(path).save("Software", "Other", "ChangeResolution", "1");
    SettingsStore store(path);
    EXPECT_EQ(store.get("software", "MY GAME", "changeresolution", "1"), "0");
    EXPECT_EQ(store.get("Software", "Other", "ChangeResolution"), "1");
    EXPECT_EQ(store.get("Software", "My Game", "Missing", "dflt"), "dflt");
    EXPECT_EQ(SettingsStore(dir.filePath("none.ini")).get("a", "b", "c", "d"), "d");

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("[Software\\My Game]\r\nChangeResolution="));
}

TEST_F(Settings, AnyTextComesBackUnchanged) {
    SettingsStore store(path);
    const QString values[] = {"",
                              "  padded  ",
                              "\"quoted\"",
                              "'single'",
                              "two\r\nlines\n",
                              "100% %0A literal",
                              "C:\\Games\\My Game",
                              QString::fromUtf16(u"\u20AC caf\u00E9 \u0101\u4E2D")};
    int i = 0;
    for (const QString& v : values)
        store.save("Software", "Game", QString("_p%1").arg(i++), v);
    i = 0;
    for (const QString& v : values)
        EXPECT_EQ(SettingsStore(path).get("Software", "Game", QString("_p%1").arg(i++), "x"), v);
}

TEST_F(Settings, Removal) {
    SettingsStore store(path);
    store.save("Software", "Game", "a", "1");
    store.save("Software", "Game", "b", "2");
    store.save("Software", "Kept", "a", "3");
    store.remove("Software", "game", "A");
    EXPECT_EQ(store.get("Software", "Game", "a", "gone"), "gone");
    EXPECT_EQ(store.get("Software", "Game", "b"), "2");
    store.removeSection("Software", "Game");
    EXPECT_EQ(store.get("Software", "Game", "b", "gone"), "gone");
    EXPECT_EQ(store.get("Software", "Kept", "a"), "3");
    store.remove("Software", "Nothing", "here"); // no error for what is absent
}

TEST(SettingsStorePath, FollowsXdgConfigHome) {
    EnvGuard xdg("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/some/config");
    EXPECT_EQ(SettingsStore::defaultPath(), "/some/config/torvane-player/settings.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsStore::defaultPath(),
              QDir::homePath() + "/.config/torvane-player/settings.ini");
    EXPECT_EQ(SettingsStore().path(), SettingsStore::defaultPath());
}
