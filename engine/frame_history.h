#pragma once
// The frames visited, oldest first, at most 20 entries; the last entry is normally the open
// frame.

#include <QStringList>

namespace tv {

class FrameHistory {
public:
    static constexpr int kMaxEntries = 20;

    // Appends a name unless it already is the last entry, then drops the oldest beyond 20.
    void FramesHistoryAdd(const QString& frameName);
    // Drops the last entry and returns the new last one ("" when fewer than two entries).
    QString goBack();
    void clear() { entries_.clear(); }
    // A loaded game's history, as it was saved.
    void setEntries(const QStringList& entries) { entries_ = entries; }
    int count() const { return entries_.size(); }
    const QStringList& entries() const { return entries_; }

private:
    QStringList entries_;
};

} // namespace tv
