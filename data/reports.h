#pragma once
// The messages every operation shows when it fails: the standard error report and the
// missing-file warning. Texts come from the interface text table; boxes go through the one
// dialog service so that automated runs log and answer them.

#include "platform/core/errors.h"

#include <QString>

namespace tv {

// The standard error report: error icon, title interface text 29, and interface texts 30 and
// 31 before the operation's own detail.
void standardErrorReport(const QString& detail);
// The detail followed by the error's description, as most operations report.
void standardErrorReport(const QString& detail, const VbError& error);

// The title of the player's own message boxes (the game's title).
void setGameTitle(const QString& title);
const QString& gameTitle();

} // namespace tv
