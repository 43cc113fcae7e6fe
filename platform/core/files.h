#pragma once
// Windows paths from project data ("Frames\Hall.JPG", written on a case-insensitive file
// system) mapped onto the real file system. The exact path is tried first; otherwise each
// component is looked up without case in a cached index of its folder. A cached folder listing
// is used only while the folder's modification time is unchanged (and old enough to be
// trusted), so files that others add or remove are seen without calling invalidate().

#include <QString>
#include <QStringList>

namespace tv::files {

// Accepts '\' and '/' separators, mixed. A path that starts with a drive letter ("E:\Data")
// is looked up in the folder of that drive (see drives.h). Returns the real path when the file or
// folder exists; otherwise the path with '/' separators, its leading components that do exist
// spelled as on disk (so a new file lands in the folder that is meant, e.g. "temp\new.txt" ->
// "Temp/new.txt").
QString resolve(const QString& path);

bool fileExists(const QString& path);   // a regular file (or a link to one), after resolve
bool folderExists(const QString& path); // a folder, after resolve

enum class ListKind { Files, Folders };

// Names (not paths) in the folder that match the classic wildcard pattern, without case,
// sorted without case. Hidden entries (names starting with '.') are left out, as Dir leaves
// out hidden files. An empty pattern matches everything.
QStringList listFolder(const QString& folder, const QString& pattern,
                       ListKind kind = ListKind::Files);

// * ? [abc] [a-z] [!abc], without case. As Dir does, "name.*" also matches a name without any
// dot (so "*.*" matches every name) and "name." matches the name without a dot.
bool wildcardMatch(const QString& name, const QString& pattern);

// Forgets every cached listing and lookup.
void invalidate();

} // namespace tv::files
