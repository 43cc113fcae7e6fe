#include "script/saved_games.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {
void touch(const QString& path, const QDateTime& time) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.flush(); // a later flush would set the time again
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}
} // namespace

TEST(SavedGames, TheListRunsFromTheOldestSaveToTheNewest) {
    QTemporaryDir dir;
    const QDateTime t0(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC);
    touch(dir.filePath("Newest.sav"), t0.addSecs(60));
    touch(dir.filePath("Oldest.sav"), t0);
    touch(dir.filePath("b tie.sav"), t0.addSecs(30));
    touch(dir.filePath("a tie.sav"), t0.addSecs(30));
    // Not saves: no name before the extension, another letter case, another extension.
    touch(dir.filePath(".sav"), t0);
    touch(dir.filePath("Shout.SAV"), t0);
    touch(dir.filePath("Oldest.sav.png"), t0);
    QDir().mkdir(dir.filePath("Folder.sav"));
    EXPECT_EQ(SavedGames::listSaves(dir.path() + "/"),
              (QStringList{"Oldest", "a tie", "b tie", "Newest"}));
    EXPECT_TRUE(SavedGames::listSaves(dir.filePath("missing") + "/").isEmpty());
}

TEST(SavedGames, TenCharactersCannotBeInAName) {
    for (const char* c : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|", ","})
        EXPECT_TRUE(SavedGames::hasForbiddenCharacter(QString("a%1b").arg(c))) << c;
    EXPECT_FALSE(SavedGames::hasForbiddenCharacter("In the garden; day 2 (well-done!)"));
}

TEST(SavedGames, VariantValuesKeepTheirKindThroughAFile) {
    const QDateTime met(QDate(2005, 3, 7), QTime(9, 30), Qt::UTC);
    for (const QVariant& v : {QVariant(QStringLiteral("Ann")), QVariant(true), QVariant(met),
                              QVariant(12.5), QVariant()}) {
        const QVariant back = SavedGames::variantOf(SavedGames::recordValueOf(v));
        EXPECT_EQ(back.metaType(), v.metaType()) << v.toString().toStdString();
        EXPECT_EQ(back, v);
    }
    // Whole numbers come back as the smallest kind that holds them.
    EXPECT_EQ(SavedGames::variantOf(RecordValue::ofNumber(7)).metaType(),
              QMetaType::fromType<qint16>());
    EXPECT_EQ(SavedGames::variantOf(RecordValue::ofNumber(40000)).metaType(),
              QMetaType::fromType<int>());
    EXPECT_EQ(SavedGames::variantOf(RecordValue::ofNumber(1e12)).metaType(),
              QMetaType::fromType<double>());
    EXPECT_EQ(SavedGames::recordValueOf(QVariant::fromValue<qint16>(-3)),
              RecordValue::ofNumber(-3));
    EXPECT_EQ(SavedGames::recordValueOf(QVariant::fromValue(nullptr)), RecordValue::null());
}
