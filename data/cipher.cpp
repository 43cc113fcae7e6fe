#include "data/cipher.h"

#include "platform/core/cp1252.h"
#include "platform/core/errors.h"

#include <array>

namespace tv {

namespace {

constexpr char kKeyText[] = "qmzwkhaprtylsnbvcjxgu";
constexpr int kKeySize = 21;

// Built on first use and kept for the program's life.
const std::array<int, kKeySize>& keyTable() {
    static const std::array<int, kKeySize> table = [] {
        std::array<int, kKeySize> k{};
        for (int j = 0; j < kKeySize; ++j)
            k[size_t(j)] = kKeyText[j] - 32;
        return k;
    }();
    return table;
}

int add32(int a, int b) {
    int r;
    if (__builtin_add_overflow(a, b, &r)) throw vbError(err::Overflow);
    return r;
}

int sub32(int a, int b) {
    int r;
    if (__builtin_sub_overflow(a, b, &r)) throw vbError(err::Overflow);
    return r;
}

int mul32(int a, int b) {
    int r;
    if (__builtin_mul_overflow(a, b, &r)) throw vbError(err::Overflow);
    return r;
}

// The shift of step i: P + (i + s) * K[i mod 21].
int shift(int P, int i, int s) {
    return add32(P, mul32(add32(i, s), keyTable()[size_t(i % kKeySize)]));
}

// The remainder in 0 .. m-1 (the classic Mod keeps the dividend's sign; both directions of the
// cipher then add m).
int wrap(int value, int m) {
    const int r = value % m;
    return r < 0 ? r + m : r;
}

int code(const QByteArray& bytes, qsizetype i) {
    return static_cast<unsigned char>(bytes[i]);
}

int swapSpaceAndQuote(int v) {
    return v == 32 ? 34 : v == 34 ? 32 : v;
}

int seedCode(QChar seed) {
    return static_cast<unsigned char>(toCp1252(QString(seed)).at(0));
}

} // namespace

QString DecodeTextA(const QString& text, int P) {
    if (text.isEmpty()) return {};
    const QByteArray in = toCp1252(text);
    const qsizetype n = in.size();
    const int s = code(in, 0) - 32;
    QByteArray out;
    out.reserve(n);
    for (int i = 0; i + 1 < n; ++i) {
        int v = code(in, n - 1 - i);
        if (v >= 32 && v <= 126) v = wrap(sub32(sub32(v, shift(P, i, s)), 32), 94) + 32;
        if (v > 0 && v < 256) out += char(v);
    }
    return fromCp1252(out);
}

QString DecodeTextB(const QString& text, int P) {
    if (text.isEmpty()) return {};
    const QByteArray in = toCp1252(text);
    const qsizetype n = in.size();
    const int s = code(in, 0) - 35;
    QByteArray out;
    out.reserve(n);
    for (int i = 0; i + 1 < n; ++i) {
        int v = swapSpaceAndQuote(code(in, n - 1 - i));
        if (v > 32 && v <= 125) v = wrap(sub32(sub32(v, shift(P, i, s)), 33), 93) + 33;
        out += char(swapSpaceAndQuote(v));
    }
    return fromCp1252(out);
}

QString EncodeTextA(const QString& plain, int P, QChar seed) {
    const QByteArray in = toCp1252(plain);
    const int first = seedCode(seed);
    const int s = first - 32;
    QByteArray out(in.size() + 1, '\0');
    out[0] = char(first);
    for (int i = 0; i < in.size(); ++i) {
        int v = code(in, i);
        if (v >= 32 && v <= 126) v = wrap(add32(v - 32, shift(P, i, s)), 94) + 32;
        out[in.size() - i] = char(v);
    }
    return fromCp1252(out);
}

QString EncodeTextB(const QString& plain, int P, QChar seed) {
    const QByteArray in = toCp1252(plain);
    const int first = seedCode(seed);
    const int s = first - 35;
    QByteArray out(in.size() + 1, '\0');
    out[0] = char(first);
    for (int i = 0; i < in.size(); ++i) {
        int v = swapSpaceAndQuote(code(in, i));
        if (v > 32 && v <= 125) v = wrap(add32(v - 33, shift(P, i, s)), 93) + 33;
        out[in.size() - i] = char(swapSpaceAndQuote(v));
    }
    return fromCp1252(out);
}

// The procedures file of a project is scrambled with P = 1 + (the sum of j * c_j) mod 251,
// where c_j is the Windows-1252 code of the j-th character (1-based) of ProjectName exactly as
// "General" holds it (case and spaces count). So P lies in 1..251, names that are anagrams of
// each other still get different offsets, and a project without a name uses 1. The project
// builder scrambles with the same function.
int proceduresOffset(const QString& projectName) {
    const QByteArray codes = toCp1252(projectName);
    int sum = 0;
    for (int j = 0; j < codes.size(); ++j)
        sum = (sum + (j + 1) % 251 * code(codes, j)) % 251;
    return 1 + sum;
}

} // namespace tv
