// Dialogue files (.dlg) on arbitrary bytes. What is read, in full or up to a failure, must survive
// its writer: written and read again, it is the same dialogue (numbers as stored, to 15
// significant digits) and gives the same bytes.

#include "data/dialogue_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;
using tv::fuzz::storable;
using tv::fuzz::stored;
using tv::fuzz::unwritable;
using tv::fuzz::written;

namespace {

// Texts with a double quote cannot be written as records, nor numbers that are not storable.
bool writable(const DialogueFile& d) {
    if (unwritable(d.Fields1to3) || unwritable(d.Fields6to11)) return false;
    if (d.Text4.contains(u'"') || d.Text5.contains(u'"')) return false;
    for (const DialogueQuestion& q : d.questions) {
        for (const QString* t : {&q.Question, &q.Answer, &q.Script1, &q.Script2, &q.Script3}) {
            if (t->contains(u'"')) return false;
        }
        if (unwritable(q.Fields15to17) || unwritable(q.Field19)) return false;
        if (!storable(RecordValue::ofNumber(q.AnswerSeconds))) return false;
    }
    return true;
}

DialogueFile asStored(DialogueFile d) {
    for (QList<RecordValue>* values : {&d.Fields1to3, &d.Fields6to11}) {
        for (RecordValue& v : *values)
            v = stored(v);
    }
    for (DialogueQuestion& q : d.questions) {
        q.AnswerSeconds = stored(q.AnswerSeconds);
        for (RecordValue& v : q.Fields15to17)
            v = stored(v);
        q.Field19 = stored(q.Field19);
    }
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DialogueFile dialogue;
    try {
        RecordReader in(fuzz::bytesOf(data, size));
        readDialogue(in, dialogue);
    } catch (const VbError&) {
        // What was read is kept, and checked below as a whole file is.
    }
    for (const DialogueQuestion& q : dialogue.questions) {
        (void)q.script1Text();
        (void)q.script2Text();
        (void)q.script3Text();
    }

    if (writable(dialogue)) {
        const QByteArray once = written(dialogue);
        DialogueFile again;
        try {
            RecordReader in(once);
            readDialogue(in, again);
        } catch (const VbError&) {
            fail("a written dialogue does not read back");
        }
        if (!(again == asStored(dialogue))) fail("a written dialogue reads back as another");
        if (written(again) != once) fail("a written dialogue reads back different");
    }

    const QString path = fuzz::writeInputFile(data, size, "Hall.dlg");
    DialogueFile kept;
    try {
        readDialogueFile(path, kept);
    } catch (const VbError&) {
    }
    return 0;
}
