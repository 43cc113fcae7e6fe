// Games on several CDs: folders mapped to drive letters stand for the discs; the drive dialog
// asks for a disc that is missing and the game goes on once it is there.

#include "data/file_locator.h"
#include "e2e_harness.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

const QString kPrompt = "window frmRunFromCD|Please insert the CD#2 in the CD-Rom drive and "
                        "click OK to continue...";

// Start (a grey frame with a hotspot to Hall) on the hard disk; Hall's red picture on disc 2
// only, and a timer from Hall to Garden.
struct TwoDiscs {
    TestProject p;
    QString disc1, disc2;

    TwoDiscs() {
        const QString base = QFileInfo(p.root()).absolutePath();
        disc1 = base + "/disc1";
        disc2 = base + "/disc2";
        const QString frames = "/Data/Test Game/Frames";
        QDir().mkpath(disc1 + frames);
        QDir().mkpath(disc2 + frames);
        QImage red(320, 200, QImage::Format_RGB32);
        red.fill(0xFFFF0000);
        // Discs hold the media under their disguised names, as the editor ships them.
        red.save(disc2 + frames + "/" + tv::DisguisedFileName("hall.bmp", false), "BMP");
        p.writeFrame("Start", colourFrame(0x808080));
        p.writeHotspots("Start", {hotspotAt(1, 0, 0, 40, 40)});
        p.writeActions("Start", {goTo("Hall")});
        p.writeFrame("Hall", withTimer(pictureFrame("hall.bmp"), 1, "Garden"));
        p.writeFrame("Garden", colourFrame(0x00FF00));
        tv::CdIndexFile index;
        index.CdCount = 2;
        index.Entries = {{"hall.bmp", 2, 1}};
        p.description().cdIndex = index;
        p.description().runFromCd = true;
    }
    // V is the last letter looked at for a CD drive: it is the one the game finds first.
    RunResult play(const QString& walkthrough, const QString& v, const QString& u = {}) {
        QStringList args{"--drive", "V=" + v};
        if (!u.isEmpty())
            args << "--drive"
                 << "U=" + u;
        return p.play(walkthrough, args);
    }
};

} // namespace

TEST(MultiCd, APictureIsFoundOnTheDiscThatHoldsIt) {
    TwoDiscs d;
    const RunResult r = d.play("click 10 10\n"
                               "expect frame Hall\n"
                               "expect pixel 5 5 FF0000\n"
                               "expect nolog window frmRunFromCD\n"
                               "expect nolog msgbox\n",
                               d.disc2);
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(MultiCd, AMissingDiscIsAskedForUntilItIsThereAndTheGameGoesOn) {
    TwoDiscs d;
    // Disc 1 is in the drive the game finds: the player is asked for disc 2, first answers with
    // the same drive (the file is still not there), then types a letter with no drive, then
    // chooses the drive that holds disc 2.
    const RunResult r =
        d.play("click 10 10\n"
               "expect log " +
                   kPrompt +
                   "\n"
                   "button OK\n"
                   "expect log msgbox Test Game|File Not Found:\\n\\nV:\\Data\\Test "
                   "Game\\Frames\\" +
                   tv::DisguisedFileName("hall.bmp", false) +
                   "\\n\\nThe file may be missing, or you may have inserted the wrong CD.|OK\n"
                   "expect log " +
                   kPrompt +
                   "\n"
                   "type Q:\\\n"
                   "button OK\n"
                   "expect log msgbox Test Game|The selected device is unavailable.\n"
                   "select U:\\ (CD-Rom Drive)\n"
                   "button OK\n"
                   "expect frame Hall\n"
                   "expect pixel 5 5 FF0000\n"
                   "wait 1500\n"
                   "expect frame Garden\n",
               d.disc1, d.disc2);
    EXPECT_EQ(r.exitCode, 0) << show(r);
    // The chosen drive is kept: the next run finds the disc at once.
    const RunResult again = d.play("click 10 10\n"
                                   "expect frame Hall\n"
                                   "expect nolog window frmRunFromCD\n",
                                   d.disc1, d.disc2);
    EXPECT_EQ(again.exitCode, 0) << show(again);
}

TEST(MultiCd, CancellingTheDriveDialogStopsTheGame) {
    TwoDiscs d;
    const RunResult r = d.play("click 10 10\n"
                               "expect log " +
                                   kPrompt +
                                   "\n"
                                   "button Cancel\n"
                                   "wait 1500\n"
                                   "expect nolog frame Hall\n"
                                   "click 10 10\n"
                                   "expect nolog window frmRunFromCD\n",
                               d.disc1);
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(MultiCd, WithoutTheMarkerAMissingPictureIsReportedAtOnce) {
    TwoDiscs d;
    d.p.description().runFromCd = false;
    const RunResult r = d.play("click 10 10\n"
                               "expect log msgbox Error|The following file is missing:\n"
                               "expect nolog window frmRunFromCD\n",
                               d.disc2);
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
