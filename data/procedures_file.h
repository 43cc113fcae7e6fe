#pragma once
// The project's "Procedures" file: three header lines the player steps over, then the author's
// procedures one text line per line. When the project scrambles its procedures ("ProcEncr" of
// "More" is 1), every code line is stored scrambled with the text cipher's variant A and the
// offset derived from ProjectName.

#include <QString>
#include <QStringList>

#include <optional>

namespace tv {

struct ProceduresFile {
    QStringList header = QStringList(3, QString());
    QString text; // the code lines joined with CR LF, without a line break at the end

    bool operator==(const ProceduresFile&) const = default;
};

// Whether a "ProcEncr" value switches scrambling on: read as a number, it equals 1.
bool scrambleSwitchOn(const QString& procEncr);
// Whether the "More" file asks for scrambled procedures: key "ProcEncr" of section "General"
// read as a number equals 1.
bool proceduresScrambled(const QString& moreFilePath);

// Reads into `into` line by line, so that a failure (VbError) keeps what was read so far. The
// header lines are each read only while the file goes on; at least one code line must follow
// ("Input past end of file" otherwise). With an offset, each code line is decoded.
void readProceduresFile(const QString& path, ProceduresFile& into,
                        std::optional<int> scrambleOffset = std::nullopt);

// Writes the header and one line per code line (any line break of the text ends a line), each
// with CR LF. With an offset, each code line is scrambled; a scrambled line cannot hold "~"
// (it would come back as a space), so such a text raises "Invalid procedure call or argument".
void writeProceduresFile(const QString& path, const ProceduresFile& file,
                         std::optional<int> scrambleOffset = std::nullopt);

// Whether a text can be stored in a scrambled procedures file.
bool scramblable(const QString& code);

} // namespace tv
