// NAME.sav on arbitrary bytes: reading never fails otherwise than with a classic error, and a
// saved game that reads in full survives its writer (read back as the same values, and written
// the same).

#include "data/saved_game_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::stored;
using tv::fuzz::unwritable;
using tv::fuzz::written;

namespace {
bool hasQuote(const QString& text) {
    return text.contains(u'"');
}

// Texts with a double quote, and numbers the writer cannot store, do not survive a rewrite.
bool unwritableFile(const SavedGameFile& f) {
    if (hasQuote(f.Frame) || hasQuote(f.ProjectName) || hasQuote(f.GameTitle) || hasQuote(f.Date) ||
        hasQuote(f.Version) || unwritable(f.Blanks))
        return true;
    for (const auto& pairs : {f.Integers, f.Disappeared})
        for (const auto& pair : pairs)
            if (hasQuote(pair.first)) return true;
    for (const QStringList& names : {f.Items, f.History})
        for (const QString& name : names)
            if (hasQuote(name)) return true;
    for (const auto& [name, value] : f.Variants)
        if (hasQuote(name) || unwritable(value)) return true;
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::writeInputFile(data, size, "Game.sav");

    SavedGameFile read;
    int error = 0;
    try {
        RecordReader in(bytes);
        readSavedGame(in, read);
    } catch (const VbError& e) {
        error = e.number();
    }
    try {
        const SavedGameFile whole = readSavedGameFile(path);
        if (error != 0) fail("the file reads where its bytes did not");
        if (!(whole == read)) fail("the file reads otherwise than its bytes");
    } catch (const VbError& e) {
        if (e.number() != error) fail("the file fails otherwise than its bytes");
    }
    if (error != 0 || unwritableFile(read)) return 0;

    const QByteArray once = written(read);
    SavedGameFile back;
    try {
        RecordReader in(once);
        readSavedGame(in, back);
    } catch (const VbError&) {
        fail("a written saved game does not read back");
    }
    SavedGameFile expected = read;
    for (RecordValue& v : expected.Blanks)
        v = stored(v);
    for (auto& pair : expected.Variants)
        pair.second = stored(pair.second);
    if (!(back == expected)) fail("a written saved game reads back as another");
    if (written(back) != once) fail("a written saved game reads back different");
    return 0;
}
