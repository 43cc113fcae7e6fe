#include "data/file_locator.h"

#include "data/project.h"
#include "data/ui_texts.h"
#include "platform/dialogs.h"
#include "platform/files.h"

#include <QHash>
#include <cstdlib>

namespace tv {

namespace {
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
    const int slash = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    const QString name = path.mid(slash + 1);
    if (name.size() < 5) return path;
    int x = extensionCode(path.right(4).toLower());
    if (x == 0) return path;
    if (!plain) {
        const QString lower = name.toLower();
        const int a = lower[0].unicode(), b = lower[1].unicode(), d = lower[2].unicode();
        // The editor computes this in 16-bit arithmetic.
        const qint16 mixed = static_cast<qint16>(a * ((x % 3) + 1) - b + d * ((x & 1) + 1));
        x = static_cast<qint16>(std::abs(static_cast<int>(mixed)) + x);
    }
    return path.left(path.size() - 4) + "." + QString::number(x).rightJustified(3, '0');
}

QString locateOnCd(const QString& path) {
    return path;
}

QString ResolveMediaFile(const QString& path) {
    if (files::fileExists(path)) return files::resolve(path);
    QString candidate = path;
    if (path.size() >= 5) {
        for (const QString& tryPath :
             {DisguisedFileName(path, false), DisguisedFileName(path, true), locateOnCd(path)}) {
            candidate = tryPath;
            if (files::fileExists(candidate)) return files::resolve(candidate);
        }
    }
    if (!flags().quitting) {
        const UiTexts& t = uiTexts();
        DialogService::instance().msgBox(t[33] + "\r\n" + candidate + "\r\n\r\n" + t[34],
                                         mb::Exclamation, t[29]);
    }
    return candidate;
}

} // namespace tv
