#pragma once
// Appending numbers in either byte order, and filling in sizes once they are known. Internal to
// the media writers.

#include <QByteArray>
#include <QtEndian>

namespace tv::mediagen::detail {

class ByteWriter {
public:
    QByteArray& bytes() { return bytes_; }
    qsizetype size() const { return bytes_.size(); }

    void u8(int value) { bytes_.append(char(value & 0xFF)); }
    void le16(quint32 value) { put<quint16>(qToLittleEndian(quint16(value))); }
    void le32(quint32 value) { put<quint32>(qToLittleEndian(value)); }
    void be16(quint32 value) { put<quint16>(qToBigEndian(quint16(value))); }
    void be32(quint32 value) { put<quint32>(qToBigEndian(value)); }
    // Four characters of a chunk or file tag.
    void tag(const char (&fourcc)[5]) { bytes_.append(fourcc, 4); }
    void append(const QByteArray& data) { bytes_.append(data); }

    // Reserves a 32-bit size to be filled in by the matching patch call; returns where it is.
    qsizetype placeholder32() {
        const qsizetype at = bytes_.size();
        le32(0);
        return at;
    }
    void patchLe32(qsizetype at, quint32 value) { qToLittleEndian(value, bytes_.data() + at); }
    void patchBe32(qsizetype at, quint32 value) { qToBigEndian(value, bytes_.data() + at); }

private:
    template <class T> void put(T raw) {
        bytes_.append(reinterpret_cast<const char*>(&raw), sizeof raw);
    }

    QByteArray bytes_;
};

} // namespace tv::mediagen::detail
