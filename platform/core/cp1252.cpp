#include "platform/core/cp1252.h"

#include <array>

namespace tv {

namespace {

// 0x80..0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeHigh(char16_t c) {
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c) return char(0x80 + i);
    }
    return '?';
}

} // namespace

bool inCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
    for (char16_t mapped : kHigh) {
        if (mapped == c) return true;
    }
    return false;
}

QString fromCp1252(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = src[i];
        dst[i] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    }
    return out;
}

QByteArray toCp1252(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
        } else if (c >= 0x80 && c < 0xA0) {
            // Only the five undefined bytes pass through as C1 controls.
            out.append(kHigh[c - 0x80] == c ? char(c) : '?');
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) ++i;
            out.append(encodeHigh(c));
        }
    }
    return out;
}

} // namespace tv
