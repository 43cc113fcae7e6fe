// The panorama component the player ships, driven by a game's scripts as a game made on Windows
// drives it: made by ProgID, given the hotspots, a timed event and the action object, fed a
// picture from a spare picture box, turned by angle requests and the mouse, clicked, stopped.
// Pictures are checked at the view's centre.

#include "e2e_harness.h"
#include "mediagen/mediagen.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Four bands a quarter of the picture wide: red, green, blue, yellow. Seen from the axis, yaw
// 45 degrees looks at the middle of the red band, 135 green, 225 blue, 315 yellow.
QByteArray bandsPicture() {
    QImage image(1024, 256, QImage::Format_RGB32);
    QPainter painter(&image);
    const QRgb colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int band = 0; band < 4; ++band)
        painter.fillRect(band * 256, 0, 256, 256, QColor::fromRgb(colours[band]));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage solid(QRgb colour, int width = 32, int height = 32) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray squarePicture(QRgb colour) {
    const QImage image = solid(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// The procedures a game's plugin would carry: the panorama over `width` x `height` pixels of
// the frame, looking at yaw 45 (red); a click on a hotspot shows its index.
const char kProcedures[] =
    "Sub SetUpPanorama(width, height)\r\n"
    "  PictureBoxObject.Load 1\r\n"
    "  Set pb = PictureBoxObject(1)\r\n"
    "  pb.AutoSize = True\r\n"
    "  Set pb.Picture = LoadPicture(GetPath(0) & \"Pictures\\Bands.png\")\r\n"
    "  AddComponent \"TNPanoramaControl.MainControl_ID7\", \"Pano\"\r\n"
    "  Set c = Component(\"Pano\")\r\n"
    "  c.Width = width * 15 : c.Height = height * 15\r\n"
    "  c.PassHotspotsReference Hotspot\r\n"
    "  c.PassTimedEventReference TimedEventObject(CreateTimedEvent(0, \"Clicked\", True))\r\n"
    "  c.PassActionObjectReference Action\r\n"
    "  c.LoadPictureFromPictureBox pb\r\n"
    "  c.SetHorizontalAngle 46\r\n"
    "  c.StartEngine\r\n"
    "End Sub\r\n"
    "Sub Clicked()\r\n"
    "  TimedEventObject(1).Interval = 0\r\n"
    "  MsgBox \"clicked \" & Component(\"Pano\").GetClickedHotspot\r\n"
    "End Sub\r\n";

// A black frame with two hotspots on the picture: 1 over the green band's middle, 2 over the
// blue band's.
void panoramaProject(TestProject& p) {
    p.settings().ProjectWidth = 640;
    p.settings().ProjectHeight = 480;
    p.writeFile("Pictures/Bands.png", bandsPicture());
    p.writeFile("Pictures/Magenta.bmp", squarePicture(0xFF00FF));
    p.writeFrame("Start", colourFrame(0));
    p.writeHotspots("Start", {hotspotAt(1, 330, 40, 100, 176), hotspotAt(2, 590, 40, 100, 176)});
    p.writeProcedures(kProcedures);
}

} // namespace

TEST(Panorama, EachYawShowsItsBandAtTheViewCentre) {
    TestProject p;
    panoramaProject(p);
    const RunResult r = p.play("exec SetUpPanorama 640, 480\n"
                               "wait 100\n"
                               "expect pixel 320 240 FF0000 8\n"
                               "exec Component(\"Pano\").SetHorizontalAngle 136\n"
                               "wait 50\n"
                               "expect pixel 320 240 00FF00 8\n"
                               "exec Component(\"Pano\").SetHorizontalAngle 226\n"
                               "wait 50\n"
                               "expect pixel 320 240 0000FF 8\n"
                               "exec Component(\"Pano\").SetHorizontalAngle 316\n"
                               "wait 50\n"
                               "expect pixel 320 240 FFFF00 8\n"
                               "screenshot panorama.png\n"
                               "exec MsgBox Component(\"Pano\").IsEngineRunning & \" \" & "
                               "Component(\"Pano\").GetPictureWidthInTwips & \" \" & "
                               "Component(\"Pano\").GetPictureHeightInTwips\n"
                               "expect log msgbox Test Game|True 15360 3840|OK\n"
                               "expect nolog ERROR\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Panorama, AClickOverAHotspotFiresTheTimedEvent) {
    TestProject p;
    panoramaProject(p);
    const RunResult r = p.play(
        "exec SetUpPanorama 640, 480\n"
        "wait 100\n"
        // The engine captures the mouse when it starts. Over the red band there is no hotspot.
        "click 320 240\n"
        "wait 50\n"
        "expect nolog clicked\n"
        "exec Component(\"Pano\").SetHorizontalAngle 136\n"
        "wait 50\n"
        // Let go with the right button: a click then only captures the mouse again, the next
        // one tests the hotspot under the view's centre.
        "click 320 240 right\n"
        "click 320 240\n"
        "wait 50\n"
        "expect nolog clicked\n"
        "click 320 240\n"
        "wait 50\n"
        "expect log msgbox Test Game|clicked 1|OK\n"
        // The mouse turns the view while captured, the pointer going back to the centre after
        // each move: 0.002 radians a pixel, so 785 pixels to the right are a quarter turn, from
        // green onto blue, where hotspot 2 lies.
        "move 620 240\n"
        "move 620 240\n"
        "move 505 240\n"
        "wait 50\n"
        "expect pixel 320 240 0000FF 8\n"
        "click 320 240\n"
        "wait 50\n"
        "expect log msgbox Test Game|clicked 2|OK\n"
        "exec Component(\"Pano\").ResetClickedHotspot : "
        "MsgBox \"now \" & Component(\"Pano\").GetClickedHotspot\n"
        "expect log msgbox Test Game|now 0|OK\n"
        // The right button lets the mouse go: motion no longer turns the view.
        "click 320 240 right\n"
        "move 600 240\n"
        "wait 50\n"
        "expect pixel 320 240 0000FF 8\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Panorama, PointerShowsWhatACaptureClickWouldHit) {
    TestProject p;
    panoramaProject(p);
    p.writeFile("Pictures/Hand.bmp", squarePicture(0x00FFFF));
    const RunResult r =
        p.play("exec Set Hotspot(1).MouseIcon = LoadPicture(GetPath(0) & \"Pictures\\Hand.bmp\") : "
               "Hotspot(1).MousePointer = 99\n"
               "exec SetUpPanorama 640, 480\n"
               "wait 50\n"
               // Captured by the engine's start, over no hotspot: the cross-hair.
               "exec MsgBox \"pointer \" & Component(\"Pano\").GetPictureBoxRef.MousePointer\n"
               "expect log msgbox Test Game|pointer 2|OK\n"
               "exec Component(\"Pano\").SetHorizontalAngle 136\n"
               "wait 50\n"
               "exec MsgBox \"pointer \" & Component(\"Pano\").GetPictureBoxRef.MousePointer\n"
               "expect log msgbox Test Game|pointer 99|OK\n"
               // Escape lets the mouse go.
               "key Escape\n"
               "wait 50\n"
               "exec MsgBox \"pointer \" & Component(\"Pano\").GetPictureBoxRef.MousePointer\n"
               "expect log msgbox Test Game|pointer 1|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Panorama, PicturesDrawnOnTheTextureAndCopiesOfTheView) {
    TestProject p;
    panoramaProject(p);
    const RunResult r = p.play(
        // The view over the left half of the frame; a picture box on the right half receives
        // one copy of it.
        "exec SetUpPanorama 320, 240\n"
        "wait 50\n"
        "expect pixel 160 120 FF0000 8\n"
        "exec PictureBoxObject.Load 2 : Set b = PictureBoxObject(2) : b.Move 320 * 15, 0, 320 * "
        "15, 240 * 15 : b.Visible = True : Component(\"Pano\").BltToPicBox b\n"
        "wait 50\n"
        "expect pixel 480 120 FF0000 8\n"
        "exec Component(\"Pano\").SetHorizontalAngle 136\n"
        "wait 50\n"
        "expect pixel 160 120 00FF00 8\n"
        "expect pixel 480 120 FF0000 8\n"
        // A square drawn onto the texture at the green band's middle shows at the next pass.
        "exec PictureBoxObject.Load 3 : Set s = PictureBoxObject(3) : s.AutoSize = True : "
        "Set s.Picture = LoadPicture(GetPath(0) & \"Pictures\\Magenta.bmp\") : "
        "Component(\"Pano\").DrawOnTextureFromPictureBox s, 368, 112, 32, 32\n"
        "wait 50\n"
        "expect pixel 160 120 FF00FF 8\n"
        "expect nolog ERROR\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}

TEST(Panorama, StoppingLoadingAndFailures) {
    TestProject p;
    panoramaProject(p);
    const RunResult r = p.play(
        "exec SetUpPanorama 640, 480\n"
        "wait 50\n"
        // A missing file: False, and nothing shown.
        "exec MsgBox \"file \" & Component(\"Pano\").LoadTextureFromFile(\"Pictures\\None.bmp\")\n"
        "expect log msgbox Test Game|file False|OK\n"
        "expect nolog ERROR\n"
        "exec MsgBox \"file \" & Component(\"Pano\").LoadTextureFromFile(GetPath(0) & "
        "\"pictures\\magenta.BMP\")\n"
        "expect log msgbox Test Game|file True|OK\n"
        "wait 50\n"
        "expect pixel 320 240 FF00FF 8\n"
        // A pending picture that cannot become the texture: one message, and the loop goes on.
        "exec Component(\"Pano\").LoadPictureFromPictureBox Nothing\n"
        "wait 200\n"
        "expect log msgbox ERROR!|ERROR: Could not load texture!|OK\n"
        "exec MsgBox \"running \" & Component(\"Pano\").IsEngineRunning\n"
        "expect log msgbox Test Game|running True|OK\n"
        // StopEngine ends the loop.
        "exec Component(\"Pano\").StopEngine\n"
        "wait 50\n"
        "exec MsgBox \"running \" & Component(\"Pano\").IsEngineRunning\n"
        "expect log msgbox Test Game|running False|OK\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
    EXPECT_EQ(r.log.filter("Could not load texture").size(), 1) << show(r);
}

TEST(Panorama, TheShippedLibraryIsKnownMeasuresVideosAndIsStoppedByItsMonitor) {
    TestProject p;
    panoramaProject(p);
    QList<QImage> frames;
    for (int i = 0; i < 12; ++i)
        frames << solid(QColor::fromHsv(i * 30, 255, 255).rgb(), 64, 48);
    p.writeFile("Videos/Twelve.avi", tv::mediagen::mjpegAvi(frames, 10));
    const RunResult r = p.play(
        "exec MsgBox IsComponentInstalled(\"TNPanoramaControl.MainControl_ID7\") & \" \" & "
        "IsComponentInstalled(\"tnpanoramacontrol.eventmonitor_id7\")\n"
        "expect log msgbox Test Game|True True|OK\n"
        "exec SetUpPanorama 640, 480\n"
        "exec MsgBox Component(\"Pano\").AVIGetNumberOfFrames(GetPath(0) & \"Videos\\Twelve.avi\") "
        "& \" \" & Component(\"Pano\").AVIGetNumberOfFrames(GetPath(0) & \"Videos\\None.avi\")\n"
        "expect log msgbox Test Game|12 0|OK\n"
        // The monitor, given the panorama, stops its engine when it is removed.
        "exec AddComponent \"TNPanoramaControl.EventMonitor_ID7\", \"Monitor\" : "
        "Component(\"Monitor\").SetMainControlRef Component(\"Pano\")\n"
        "wait 50\n"
        "exec MsgBox \"running \" & Component(\"Pano\").IsEngineRunning\n"
        "expect log msgbox Test Game|running True|OK\n"
        "exec RemoveComponent \"Monitor\"\n"
        "wait 50\n"
        "exec MsgBox \"running \" & Component(\"Pano\").IsEngineRunning\n"
        "expect log msgbox Test Game|running False|OK\n"
        // Started again, it shows its picture again.
        "exec Component(\"Pano\").StartEngine\n"
        "wait 50\n"
        "expect pixel 320 240 FF0000 8\n"
        "expect nolog An error has occurred\n");
    EXPECT_EQ(r.exitCode, 0) << show(r);
}
