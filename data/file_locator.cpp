#include "data/file_locator.h"

#include "data/multi_cd.h"
#include "data/project.h"
#include "data/ui_texts.h"
#include "platform/core/cp1252.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/core/settings_store.h"

#include <QHash>
#include <algorithm>
#include <cstdlib>

namespace tv {

namespace {
// The editor computes the disguise in 16-bit arithmetic, where an overflow is an error.
int int16(int value) {
    if (value < -32768 || value > 32767) throw vbError(err::Overflow);
    return value;
}

// One character at a time, as the editor converts them ('?' for one Windows-1252 lacks).
int lowerCode(QChar c) {
    return static_cast<unsigned char>(toCp1252(QString(c.toLower())).at(0));
}

int extensionCode(const QString& lowerExtension) {
    static const QHash<QString, int> codes = {
        {".ico", 2},  {".cur", 3},  {".bmp", 4},  {".jpg", 5},  {".gif", 6},  {".wmf", 7},
        {".emf", 8},  {".wav", 10}, {".mid", 11}, {".mp3", 12}, {".avi", 14}, {".wma", 16},
        {".mpg", 20}, {".mpe", 24}, {".m1v", 26}, {".wmv", 28}, {".ogg", 31}, {".snd", 34},
        {".rmi", 36}, {".mpa", 38}, {".mp2", 40}, {".asf", 44},
    };
    return codes.value(lowerExtension, 0);
}
} // namespace

QString DisguisedFileName(const QString& path, bool plain) {
    // Project paths use '\'; paths already mapped onto this system use '/'.
    const int slash = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    const QString name = path.mid(slash + 1);
    if (name.size() < 5) return path;
    int x = extensionCode(path.right(4).toLower());
    if (x == 0) return path;
    if (!plain) {
        // The editor mixes in the Windows-1252 codes of the first three letters, lower-cased.
        const int a = lowerCode(name[0]), b = lowerCode(name[1]), d = lowerCode(name[2]);
        const int mixed = int16(int16(int16(a * ((x % 3) + 1)) - b) + int16(d * ((x & 1) + 1)));
        x = int16(std::abs(mixed) + x);
    }
    return path.left(path.size() - 4) + "." + QString::number(x).rightJustified(3, '0');
}

QString locateOnCd(const QString& path) {
    const MultiCd& cd = multiCd();
    if (!cd.active()) return path;
    const Project& p = project();
    SettingsStore store;
    const QString letter = driveLetterForLookup(store, p.settings.ProjectName, drives::current());
    const CdLookup found = lookUpOnCd(path, letter, p.settings.GameTitle, p.folders, cd.table());
    if (found.outcome != CdLookup::Outcome::OnCd) return found.path;
    CdPromptSite* site = cdPromptSite();
    QString drive = letter;
    bool paused = false;
    while (site && !files::fileExists(drive + found.relative) && !runFlags().quitting) {
        // The timers are remembered once: a second pass would find them already stopped.
        if (!paused) site->pauseForCd();
        paused = true;
        const UiTexts& t = uiTexts();
        const bool answered =
            site->askForCd(t[47] + QString::number(found.cd) + " " + t[48], drive + ":\\");
        if (!answered) break;
        if (runFlags().quitting) {
            site->stopForCd();
            break;
        }
        const QString chosen = storedDriveLetter(store, p.settings.ProjectName);
        if (!chosen.isEmpty()) drive = chosen;
        if (files::fileExists(drive + found.relative)) {
            site->resumeAfterCd();
            break;
        }
        DialogService::instance().msgBox(t[45] + "\r\n\r\n" + drive + found.relative + "\r\n\r\n" +
                                             t[46],
                                         mb::Exclamation, p.settings.GameTitle);
    }
    return drive + found.relative;
}

QString GetEncryptedFileName(const QString& sUnencryptedFileName) {
    const QString disguised = DisguisedFileName(sUnencryptedFileName, false);
    return files::fileExists(disguised) ? disguised : sUnencryptedFileName;
}

namespace {
// The first candidate that exists, resolved; else "" with `candidate` the last one tried.
QString lookUp(const QString& path, QString& candidate) {
    candidate = path;
    if (files::fileExists(path)) return files::resolve(path);
    if (path.size() >= 5) {
        for (const QString& tryPath :
             {DisguisedFileName(path, false), DisguisedFileName(path, true), locateOnCd(path)}) {
            candidate = tryPath;
            if (files::fileExists(candidate)) return files::resolve(candidate);
        }
    }
    return {};
}
} // namespace

QString FindMediaFile(const QString& path) {
    QString candidate;
    return lookUp(path, candidate);
}

QString ResolveMediaFile(const QString& path) {
    QString candidate;
    const QString found = lookUp(path, candidate);
    if (!found.isEmpty()) return found;
    if (!runFlags().quitting) {
        const UiTexts& t = uiTexts();
        DialogService::instance().msgBox(t[33] + "\r\n" + candidate + "\r\n\r\n" + t[34],
                                         mb::Exclamation, t[29]);
    }
    return candidate;
}

} // namespace tv
