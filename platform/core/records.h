#pragma once
// The text record format of the classic BASIC `Input #` / `Write #` statements, in which every
// project data file and saved game is written: fields separated by commas or line breaks,
// strings in double quotes, bare numbers, and #TRUE#, #FALSE#, #NULL#, #ERROR n# and dates in
// #...#. Files are Windows-1252 with CR LF.
//
// Reading rules, as the classic runtime applies them:
// - leading spaces and tabs of a field are skipped;
// - a field ends at a comma or a line end (CR LF, lone CR or lone LF); the delimiter that ends
//   a field is consumed with it, so EOF is true right after the last field of a file whether
//   or not the file ends with CR LF;
// - a quoted field runs to the next double quote (there is no escape); whatever follows the
//   closing quote up to the delimiter is ignored;
// - a bare field is trimmed; an empty field (two commas, a blank line) is Empty;
// - reading when nothing is left raises "Input past end of file" (62).

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tv {

struct RecordValue {
    enum class Kind { Empty, String, Number, Boolean, Null, Date, Error };

    Kind kind = Kind::Empty;
    QString text;
    double number = 0;
    bool boolean = false;
    QDateTime date;
    int errorNumber = 0;

    // The value as a String variable receives it: numbers as "0.5", "-1", "1E+20"; booleans
    // "True"/"False"; dates "1999-12-31 23:59:59" (date or time alone when the other is zero);
    // errors "Error 5"; Empty and Null "".
    QString toText() const;

    static RecordValue ofString(QString text);
    static RecordValue ofNumber(double value);
    static RecordValue ofBool(bool value);
    static RecordValue null();
    static RecordValue ofDate(QDateTime value);
    static RecordValue ofError(int number);
    static RecordValue empty();

    bool operator==(const RecordValue& other) const;
};

// Dates carry no time zone in the classic runtime; the reader builds UTC QDateTimes (so that no
// date and time falls into a daylight-saving gap), and the writer and comparisons use only the
// date and time fields. A time without a date is on 1899-12-30, the classic zero date.
QDate classicZeroDate();

class RecordReader {
public:
    // Raises "File not found" (53) when the file is missing, "Path/File access error" (75) when
    // it cannot be read. The path is used as given.
    static RecordReader open(const QString& path);
    explicit RecordReader(QByteArray bytes);

    bool atEnd() const { return pos_ >= data_.size(); } // the classic EOF()

    RecordValue readVariant(); // Input # into a Variant
    QString readString();      // Input # into a String variable (bare text kept as written)
    // Input # into typed variables: "Type mismatch" (13) for text that is no number, "Overflow"
    // (6) out of range, "Invalid use of Null" (94) for #NULL#; integers round half to even.
    qint16 readInt16();
    qint32 readInt32();
    double readDouble();
    bool readBool(); // #TRUE#/#FALSE#, numbers (non-zero is true), "True"/"False"

    // Line Input #: the rest of the current line without its line end.
    QString readLine();

    RecordValue peekVariant();
    QString peekString();
    void skip(int count = 1);

    qint64 position() const { return pos_; }
    void seek(qint64 pos);
    qint64 size() const { return data_.size(); }

private:
    struct Field;
    Field nextField();
    double fieldToDouble(const Field& f) const;

    QByteArray data_;
    qint64 pos_ = 0;
};

class RecordWriter {
public:
    // Each call appends one item to the current line; items are separated by commas.
    RecordWriter& value(const RecordValue& v);
    RecordWriter& string(const QString& text); // in double quotes, written as is
    RecordWriter& number(double value);        // "Overflow" (6) for infinities and NaN
    RecordWriter& integer(qint64 value);
    RecordWriter& boolean(bool value);
    RecordWriter& null();
    RecordWriter& date(const QDateTime& value);
    RecordWriter& error(int number);
    RecordWriter& empty();
    RecordWriter& endLine(); // CR LF

    QByteArray bytes() const { return out_; }
    // Replaces the file (atomically where the file system allows). Raises "Path not found" (76)
    // when the folder is missing, "Path/File access error" (75) on any other failure.
    void saveTo(const QString& path) const;

private:
    RecordWriter& item(const QByteArray& text);

    QByteArray out_;
    bool lineStarted_ = false;
};

// The number as Write # prints it: up to 15 significant digits, no leading zero before the
// point (".5", "-.25"), exponent form below 0.0001 and from 1E+15 on ("1E+20", "1.5E-05").
QByteArray formatRecordNumber(double value);

} // namespace tv
