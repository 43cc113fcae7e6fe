#pragma once
// Windows-1252, the code page of every project and save file. Undefined bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control of the same value and back, as Windows does, so no
// byte is ever lost on a read/write round trip.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tv {

QString fromCp1252(QByteArrayView bytes);

// Whether Windows-1252 holds the character.
bool inCp1252(char16_t c);

// Characters that Windows-1252 cannot hold become '?' (one per character, even outside the BMP).
QByteArray toCp1252(QStringView text);

} // namespace tv
