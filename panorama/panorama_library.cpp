// The library's entry points: the panorama control and its event monitor, by ProgID.

#include "panorama/panorama_control.h"
#include "sdk/torvane_component.h"

#include <QtGlobal>

namespace {

QWidget* create(const char* progId, QWidget* container) {
    if (qstricmp(progId, tv::pano::kMainProgId) == 0) return new tv::pano::MainControl(container);
    if (qstricmp(progId, tv::pano::kMonitorProgId) == 0)
        return new tv::pano::EventMonitor(container);
    return nullptr;
}

} // namespace

TV_COMPONENT_EXPORT int tvRegisterComponents(TvAddProgId add, void* context) {
    add(context, tv::pano::kMainProgId);
    add(context, tv::pano::kMonitorProgId);
    return 0;
}

TV_COMPONENT_EXPORT const TvComponentLibrary* tvComponentLibrary(void) {
    static const TvComponentLibrary library{TV_COMPONENT_ABI_VERSION, QT_VERSION_MAJOR, &create};
    return &library;
}
