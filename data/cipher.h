#pragma once
// The text cipher of procedures (variant A) and plugin code (variant B). A scrambled text is a
// seed character followed by the scrambled characters in reverse order; each character is
// shifted within the printable range by an amount drawn from a fixed key, the offset P, its
// position and the seed. Character codes are Windows-1252. The arithmetic is 32-bit signed; an
// overflow raises "Overflow" (6).

#include <QChar>
#include <QString>

namespace tv {

// Variant A: codes 32-126 are shifted within 94 codes (32-125), others kept; code 0 is dropped.
QString DecodeTextA(const QString& text, int P);
// Variant B: space and double quote exchanged, then codes 33-125 shifted within 93 codes.
QString DecodeTextB(const QString& text, int P);

// The editor's side. Characters outside the shifted range are stored as they are. Variant A
// cannot store "~": it comes back as a space.
QString EncodeTextA(const QString& plain, int P, QChar seed);
QString EncodeTextB(const QString& plain, int P, QChar seed);

// The offset P of the project's procedures file, derived from its ProjectName (see cipher.cpp).
int proceduresOffset(const QString& projectName);

} // namespace tv
