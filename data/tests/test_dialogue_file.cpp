#include "data/dialogue_file.h"
#include "data/tests/file_bytes.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;
using tv::test::readAll;
using tv::test::writeAll;

namespace {

// Two questions as an editor stores them: the first shows ids 2 and 3 and hides itself, the
// second has no lists and waits for its answer.
const QByteArray kStored = "1,2,3,\"Hall talk\",\"\",0,0,0,0,0,\"x\"\r\n"
                           "2\r\n"
                           "\"Who are you?\",\"The keeper.\",\"MsgBox |Hi|\",\"\",\"x = |a|\","
                           "1,#TRUE#,#FALSE#,2,0,5,2,2,3,1,1,0,0,0,0,#FALSE#,0\r\n"
                           "\"Caf\xe9 \x80?\",\"\x93Goodbye\x94\",\"\",\"\",\"\","
                           "2,#FALSE#,#TRUE#,0,0,0,0,0,2.5,\"a\",#NULL#,7,#TRUE#,\"z\"\r\n";

} // namespace

TEST(DialogueFile, QuestionsWithListsAndBarQuotedScriptsReadAsStored) {
    QTemporaryDir dir;
    writeAll(dir.filePath("Hall.dlg"), kStored);
    const DialogueFile d = readDialogueFile(dir.filePath("Hall.dlg"));
    EXPECT_EQ(d.Text4, "Hall talk");
    EXPECT_EQ(d.Fields6to11.back(), RecordValue::ofString("x"));
    ASSERT_EQ(d.questions.size(), 2);

    const DialogueQuestion& q = d.questions[0];
    EXPECT_EQ(q.Question, "Who are you?");
    EXPECT_EQ(q.Answer, "The keeper.");
    EXPECT_EQ(q.Script1, "MsgBox |Hi|") << "stored as the file holds it";
    EXPECT_EQ(q.script1Text(), "MsgBox \"Hi\"");
    EXPECT_EQ(q.script2Text(), "");
    EXPECT_EQ(q.script3Text(), "x = \"a\"");
    EXPECT_EQ(q.Id, 1);
    EXPECT_TRUE(q.ShownAtStart);
    EXPECT_FALSE(q.EndsDialogue);
    EXPECT_EQ(q.Hotspot1, 2);
    EXPECT_EQ(q.Hotspot3, 5);
    EXPECT_EQ(q.ShowList, (QList<qint16>{2, 3}));
    EXPECT_EQ(q.HideList, (QList<qint16>{1}));
    EXPECT_EQ(q.AnswerSeconds, 0);

    const DialogueQuestion& w = d.questions[1];
    EXPECT_EQ(w.Question, QString::fromUtf8("Café €?"));
    EXPECT_EQ(w.Answer, QString::fromUtf8("“Goodbye”"));
    EXPECT_TRUE(w.EndsDialogue);
    EXPECT_TRUE(w.ShowList.isEmpty());
    EXPECT_TRUE(w.HideList.isEmpty());
    EXPECT_EQ(w.AnswerSeconds, 2.5);
    EXPECT_EQ(w.Fields15to17[1], RecordValue::null());
    EXPECT_TRUE(w.Wait);

    writeDialogueFile(dir.filePath("again.dlg"), d);
    EXPECT_EQ(readAll(dir.filePath("again.dlg")), kStored);
}

TEST(DialogueFile, ABrokenFileThrowsAndKeepsWhatWasRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.dlg");
    // Cut inside the second question, after its lists.
    writeAll(path, kStored.left(kStored.indexOf("2.5")));
    DialogueFile d;
    try {
        readDialogueFile(path, d);
        FAIL() << "a cut file fails";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::InputPastEndOfFile);
    }
    EXPECT_EQ(d.Text4, "Hall talk");
    ASSERT_EQ(d.questions.size(), 2);
    EXPECT_EQ(d.questions[0].HideList, (QList<qint16>{1}));
    EXPECT_EQ(d.questions[1].Id, 2);
    EXPECT_TRUE(d.questions[1].EndsDialogue);
    EXPECT_EQ(d.questions[1].AnswerSeconds, 0) << "fields from the failure on keep their defaults";
    EXPECT_FALSE(d.questions[1].Wait);

    // A text where a number belongs, in the first question: the header is kept.
    QByteArray bad = kStored;
    bad.replace("1,#TRUE#,#FALSE#,2", "\"one\",#TRUE#,#FALSE#,2");
    writeAll(path, bad);
    try {
        readDialogueFile(path, d);
        FAIL() << "a text for the id fails";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    EXPECT_EQ(d.Text4, "Hall talk");
    ASSERT_EQ(d.questions.size(), 1);
    EXPECT_EQ(d.questions[0].script1Text(), "MsgBox \"Hi\"");
    EXPECT_FALSE(d.questions[0].ShownAtStart);
}

TEST(DialogueFile, PathIsFoundWithoutCaseAndAMissingFileFails) {
    QTemporaryDir dir;
    ProjectFolders folders;
    folders.setRoot(dir.path() + "/");
    ASSERT_TRUE(QDir().mkpath(folders.FramesDataFolder));
    EXPECT_EQ(dialogueFilePath(folders, "Hall"), "");
    try {
        (void)readDialogueFile(folders.FramesDataFolder + "Hall.dlg");
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    DialogueFile empty;
    writeDialogueFile(folders.FramesDataFolder + "HALL.DLG", empty);
    EXPECT_TRUE(dialogueFilePath(folders, "hall").endsWith("HALL.DLG"));
    EXPECT_EQ(readDialogueFile(dialogueFilePath(folders, "hall")), empty);
}
