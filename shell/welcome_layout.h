#pragma once
// The welcome window's own design, before any scheme: sizes and places in pixels at one pixel a
// pixel, and its colours (0x00BBGGRR). Schemes replace the buttons, the background and the
// colours; the places stay.

#include <QtGlobal>

namespace tv::welcome_layout {

constexpr int kWidth = 480;
constexpr int kHeight = 400;
constexpr int kMargin = 40;

// The game's name and version, stacked from the top.
constexpr int kTitleTop = 28;
constexpr int kTitleGap = 2;
constexpr double kTitleFontSize = 20;
constexpr double kTextFontSize = 9;

// Author, e-mail address and web site: a caption ending at kCaptionRight, its value after it.
constexpr int kDetailsTop = 108;
constexpr int kDetailsGap = 20;
constexpr int kCaptionRight = 204;
constexpr int kPairGap = 8;
constexpr int kRowHeight = 20;

// The button labels and pictures are centred on these heights, in the middle of the window.
constexpr int kButtonCentre[3] = {230, 270, 310};
constexpr double kButtonFontSize = 13;

// The resolution offer: the box, a gap, its label; and the logo in a bottom corner.
constexpr int kResolutionTop = 346;
constexpr int kBoxGap = 6;
constexpr int kLogoMargin = 10;

// A deep blue night with a warm title.
constexpr quint32 kWindowColour = 0x3A2418;
constexpr quint32 kTitleColour = 0x70CCF4;
constexpr quint32 kTextColour = 0xDCD0C8;
constexpr quint32 kButtonColour = 0xFFF4E8;
constexpr quint32 kEdgeColour = 0x7A5C48;

} // namespace tv::welcome_layout
