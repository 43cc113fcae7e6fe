#include "data/action_record.h"
#include "data/record_helpers.h"
#include "data/sound_channel_file.h"
#include "platform/core/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

SoundChannelRow channel(const QString& file, bool stop = false, double repeat = 0) {
    SoundChannelRow r;
    r.stop = stop;
    r.play = !file.isEmpty();
    r.file = file;
    r.repeat = RecordValue::ofNumber(repeat);
    return r;
}

SoundChannelData data(int rows) {
    SoundChannelData d;
    d.leading[21] = RecordValue::ofString("last leading value");
    for (int i = 1; i <= rows; ++i)
        d.rows.append(channel(QString("ch%1.wav").arg(i), i % 2 == 0, i));
    return d;
}

SoundSelectionRecord selection(qint16 hotspot, int rows) {
    SoundSelectionRecord r;
    r.Hotspot = hotspot;
    r.Ignored[0] = RecordValue::ofString("x");
    r.channels = data(rows);
    return r;
}

} // namespace

TEST(SoundChannelFile, RowsStopAtTheFifthOrAtTheEndOfTheFile) {
    QTemporaryDir dir;
    for (int rows : {0, 1, 3, 5}) {
        const QString path = dir.filePath(QString("Hall%1.chn").arg(rows));
        writeSoundChannelFile(path, data(rows));
        EXPECT_EQ(readSoundChannelFile(path), data(rows)) << rows;
    }
    RecordReader in = RecordReader::open(dir.filePath("Hall3.chn"));
    const QList<SoundChannelRow> rows = readSoundChannelRows(in);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[1].stop);
    EXPECT_EQ(rows[2].file, "ch3.wav");
    EXPECT_EQ(rows[2].repeat.number, 3);

    // A sixth row is never read.
    RecordWriter w;
    data(5).write(w);
    w.integer(0).boolean(true).boolean(true).string("six.wav").integer(1).endLine();
    RecordReader six(w.bytes());
    EXPECT_EQ(readSoundChannelRows(six).size(), 5);
    EXPECT_EQ(six.readInt16(), 0) << "the sixth row is left where it is";
}

TEST(SoundChannelFile, AFailingRowKeepsTheRowsBeforeIt) {
    RecordWriter w;
    data(2).write(w);
    const QByteArray bytes = w.bytes();
    RecordReader in(bytes.left(bytes.lastIndexOf("#TRUE#")));
    SoundChannelData d;
    EXPECT_THROW(d.read(in), VbError);
    ASSERT_EQ(d.rows.size(), 1);
    EXPECT_EQ(d.rows[0].file, "ch1.wav");
}

TEST(SoundSelection, RecordsEndAtTheSeparatorWhateverTheirRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Hall.fm5");
    const QList<SoundSelectionRecord> written = {selection(1, 2), selection(3, 0), selection(2, 5)};
    writeSoundSelectionFile(path, written);
    EXPECT_EQ(readSoundSelectionFile(path), written);

    auto rowsOf = [&](int k) -> int {
        RecordReader in = RecordReader::open(path);
        if (!seekSoundSelection(in, k)) return -1;
        return int(readSoundChannelRows(in).size());
    };
    EXPECT_EQ(rowsOf(1), 2);
    EXPECT_EQ(rowsOf(2), 5);
    EXPECT_EQ(rowsOf(3), 0);
    EXPECT_EQ(rowsOf(4), -1);

    writeSoundSelectionFile(dir.filePath("again.fm5"), readSoundSelectionFile(path));
    EXPECT_EQ(readAll(dir.filePath("again.fm5")), readAll(path));
}

TEST(SoundSelection, ExtraRowsAreSkippedWithTheSeparator) {
    RecordWriter w;
    SoundSelectionRecord first = selection(1, 5);
    w.value(first.Field1).integer(first.Hotspot);
    writeValues(w, first.Ignored, 8);
    w.endLine();
    first.channels.write(w);
    w.integer(0).boolean(false).boolean(true).string("six.wav").integer(0).endLine();
    writeSeparator(w);
    selection(2, 1).write(w);

    RecordReader in(w.bytes());
    SoundSelectionRecord a, b;
    a.read(in);
    b.read(in);
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, selection(2, 1));
    EXPECT_TRUE(in.atEnd());
}
