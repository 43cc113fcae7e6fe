// What sound costs when a frame opens: a frame with music (MIDI) and three looping channel sounds
// against the same frame without them, each opened after a frame that stops every sound, so that
// every opening starts its sounds anew. Medians of many openings in real time, printed; the
// target is under 30 ms more for the frame with sound.
//
//   bench_frame_sound [OPENINGS]

#include "data/frame_record.h"
#include "data/procedures_file.h"
#include "data/project.h"
#include "data/variables_file.h"
#include "engine/game.h"
#include "mediagen/mediagen.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/media_player.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

namespace gen = tv::mediagen;

tv::FrameRecord colourFrame() {
    tv::FrameRecord r;
    r.BackgroundMode = 0;
    r.Background = "0";
    return r;
}

void writeProject(const QString& root) {
    tv::Project& p = tv::project();
    p.folders.setRoot(root + "/");
    for (const QString& folder : {p.folders.ConfigFolder, p.folders.FramesFolder,
                                  p.folders.FramesDataFolder, p.folders.AreasFolder})
        QDir().mkpath(folder);
    p.settings.ProjectName = "Bench";
    p.settings.GameTitle = "Bench";
    p.settings.ProjectWidth = 640;
    p.settings.ProjectHeight = 480;
    tv::writeVariablesFile(p.folders.ConfigFolder + "Variables", {});
    tv::writeProceduresFile(p.folders.ConfigFolder + "Procedures", {});

    gen::writeFile(p.folders.FramesFolder + "theme.mid",
                   gen::midiFile({{60, 0, 400}, {64, 400, 400}, {67, 800, 400}}));
    for (int i = 1; i <= 3; ++i)
        gen::writeFile(p.folders.AreasFolder + QString("loop%1.wav").arg(i),
                       gen::wavTone(200 + 100 * i, 3000, 22050, 2));

    tv::FrameRecord quiet = colourFrame();
    quiet.StopAllSounds = true;
    quiet.StopMusic = true;
    tv::writeFrameRecord(quiet, p.folders.FramesFolder + "Quiet.fme");
    tv::writeFrameRecord(colourFrame(), p.folders.FramesFolder + "Plain.fme");
    tv::FrameRecord sounding = colourFrame();
    sounding.MusicFile = "theme.mid";
    sounding.FadeDuration = tv::RecordValue::ofNumber(0);
    sounding.ChannelValueCount = 5;
    sounding.ChannelCount = 3;
    for (int i = 1; i <= 3; ++i)
        sounding.ChannelRows.append({tv::RecordValue::ofNumber(1), tv::RecordValue::ofBool(false),
                                     tv::RecordValue::ofBool(true), tv::RecordValue::ofNumber(8),
                                     tv::RecordValue::ofString(QString("loop%1.wav").arg(i))});
    tv::writeFrameRecord(sounding, p.folders.FramesFolder + "Sounding.fme");
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    tv::Application app(argc, argv, true);
    tv::setSoundOutput(tv::SoundOutput::None);
    tv::Clock::instance().setMode(tv::Clock::Mode::Real);
    const int openings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir dir;
    writeProject(dir.path());
    tv::Game game;
    game.ResetAll();
    std::vector<double> plain, sounding;
    for (int i = 0; i < openings; ++i) {
        for (const char* frame : {"Plain", "Sounding"}) {
            game.OpenFrame("Quiet");
            QElapsedTimer t;
            t.start();
            game.OpenFrame(frame);
            (frame == QStringLiteral("Plain") ? plain : sounding)
                .push_back(double(t.nsecsElapsed()) / 1e6);
        }
    }
    if (!game.audio.MPlayer(7).isPlaying() || !game.audio.channelPlayer(3).isPlaying())
        std::fprintf(stderr, "bench_frame_sound: the sounds did not start\n");
    std::printf("opening a frame: %.1f ms without sound, %.1f ms with music and three channel "
                "sounds (%.1f ms more), medians of %d openings\n",
                median(plain), median(sounding), median(sounding) - median(plain), openings);
    return 0;
}
