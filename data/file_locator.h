#pragma once
// Finding media files: the plain name first, then the disguised names under which a compiled
// game may store its media; a file that cannot be found is reported once per lookup.

#include <QString>

namespace tv {

// The disguised form of a path, or the path unchanged when its ending is not a known media
// extension or its file name is shorter than 5 characters. With `plain` the code of the
// extension alone is used, otherwise it is mixed with the file name's first three letters.
QString DisguisedFileName(const QString& path, bool plain);

// The disguised name of a path when a file of that disguised name exists, else the path as
// given (what scripts ask before opening a media file themselves).
QString GetEncryptedFileName(const QString& sUnencryptedFileName);

// The path to open for a project file: the path itself when it exists, else the first disguised
// form that exists. When none exists (and the game is not quitting) the missing-file warning is
// shown; the last candidate is returned, so the caller's load then fails and reports.
QString ResolveMediaFile(const QString& path);

// The same lookup without the warning: the path found, or "" when no candidate exists (for
// callers that skip a missing file silently).
QString FindMediaFile(const QString& path);

// The last try for a file of a multi-CD game: where the CD index says it lies on the CD drive
// (see multi_cd.h). The path unchanged when the game is on one disc.
QString locateOnCd(const QString& path);

} // namespace tv
