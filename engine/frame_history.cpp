#include "engine/frame_history.h"

namespace tv {

void FrameHistory::FramesHistoryAdd(const QString& frameName) {
    if (!entries_.isEmpty() && entries_.last() == frameName) return;
    entries_.append(frameName);
    while (entries_.size() > kMaxEntries)
        entries_.removeFirst();
}

QString FrameHistory::goBack() {
    if (entries_.size() < 2) return {};
    entries_.removeLast();
    return entries_.last();
}

} // namespace tv
