#include "shell/display.h"

#include "data/reports.h"
#include "platform/event_loop.h"
#include "platform/screen.h"

#include <cmath>

namespace tv {

namespace {
QSize& savedMode() {
    static QSize mode;
    return mode;
}
} // namespace

QSize displayResolutionSize(int choice) {
    switch (choice) {
    case 1:
        return {640, 480};
    case 2:
        return {800, 600};
    case 3:
        return {1024, 768};
    default:
        return {};
    }
}

bool SetDisplayResolution(int choice, const std::function<void()>& arrange) {
    const QSize target = displayResolutionSize(choice);
    if (target.isEmpty() || DisplayMode::current().width() == target.width()) return false;
    // Scaling a picture down to a smaller monitor would lose pixels the game counts on.
    const QSize screen = Screen::geometry().size();
    if (target.width() > screen.width() || target.height() > screen.height()) {
        standardErrorReport(" Unable to change display resolution. Mode not supported.");
        return false;
    }
    DisplayMode::set(target == screen ? QSize() : target);
    setScreenPointer(pointer::ArrowHourglass);
    EventLoop::instance().wait(1000);
    setScreenPointer(pointer::Default);
    if (arrange) arrange();
    return true;
}

void SaveDisplayMode() {
    savedMode() = DisplayMode::current();
}

void RestoreDisplayMode() {
    const QSize saved = savedMode();
    if (saved.isEmpty() || saved == DisplayMode::current()) return;
    DisplayMode::set(saved == Screen::geometry().size() ? QSize() : saved);
}

bool HasSmallFonts() {
    // The system font is 16 pixels high at 96 dots per inch and grows with the setting.
    return std::lround(16.0 * DisplayMode::logicalDpi() / 96.0) <= 16;
}

} // namespace tv
