// Dialogues (.dlg): the questions of a frame's dialogue and the header the player steps over.

#include "tools/builder/frame_parts.h"

namespace tv::builder {

namespace {

// A script written with ordinary double quotes, stored with a vertical bar for each. Every
// stored text reads back this way: a record's text cannot hold a double quote.
template <auto M> Field<DialogueQuestion> barScript(const char* key) {
    Field<DialogueQuestion> f;
    f.key = key;
    f.read = [key](const Reader& r, Fields& fields, DialogueQuestion& q) {
        if (YAML::Node n = fields[key]; n.IsDefined()) q.*M = r.script(n, key, QuoteCodec::Bar);
    };
    f.describe = [key](YamlNode& m, const DialogueQuestion& q, const DialogueQuestion& base) {
        if (q.*M != base.*M) m.add(key, YamlNode::text(decodeQuotes(q.*M, QuoteCodec::Bar)));
    };
    f.differs = [](const DialogueQuestion& q, const DialogueQuestion& base) {
        return q.*M != base.*M;
    };
    return f;
}

// "hotspots": [first, second, third], the hotspots whose actions run after each script; fewer
// values leave the others at 0 (none).
Field<DialogueQuestion> hotspots() {
    Field<DialogueQuestion> f;
    f.key = "hotspots";
    f.read = [](const Reader& r, Fields& fields, DialogueQuestion& q) {
        const YAML::Node n = fields["hotspots"];
        if (!n.IsDefined()) return;
        const QList<YAML::Node> items = r.items(n, "hotspots");
        if (items.size() > 3) r.fail(n, "hotspots holds at most 3 hotspot numbers");
        qint16* numbers[] = {&q.Hotspot1, &q.Hotspot2, &q.Hotspot3};
        for (int i = 0; i < 3; ++i)
            *numbers[i] = i < items.size() ? r.int16(items[i], "hotspots") : qint16(0);
    };
    f.differs = [](const DialogueQuestion& q, const DialogueQuestion& base) {
        return q.Hotspot1 != base.Hotspot1 || q.Hotspot2 != base.Hotspot2 ||
               q.Hotspot3 != base.Hotspot3;
    };
    f.describe = [differs = f.differs](YamlNode& m, const DialogueQuestion& q,
                                       const DialogueQuestion& base) {
        if (!differs(q, base)) return;
        m.add("hotspots", YamlNode::seq(true)
                              .append(YamlNode::number(q.Hotspot1))
                              .append(YamlNode::number(q.Hotspot2))
                              .append(YamlNode::number(q.Hotspot3)));
    };
    return f;
}

const Table<DialogueQuestion> kQuestion = {
    field<&DialogueQuestion::Id>("id"),
    field<&DialogueQuestion::Question>("question"),
    field<&DialogueQuestion::Answer>("answer"),
    barScript<&DialogueQuestion::Script1>("script_1"),
    barScript<&DialogueQuestion::Script2>("script_2"),
    barScript<&DialogueQuestion::Script3>("script_3"),
    field<&DialogueQuestion::ShownAtStart>("shown"),
    field<&DialogueQuestion::EndsDialogue>("ends"),
    hotspots(),
    field<&DialogueQuestion::ShowList>("show"),
    field<&DialogueQuestion::HideList>("hide"),
    field<&DialogueQuestion::AnswerSeconds>("answer_seconds"),
    field<&DialogueQuestion::Wait>("wait"),
    group<DialogueQuestion>({.key = "raw",
                             .fields = {field<&DialogueQuestion::Fields15to17>("fields_15_17"),
                                        field<&DialogueQuestion::Field19>("field_19")},
                             .what = "question raw fields"}),
};

// A question's id is its position unless given, and it is shown when the dialogue starts.
DialogueQuestion baseQuestion(int position) {
    DialogueQuestion q;
    q.Id = qint16(position);
    q.ShownAtStart = true;
    return q;
}

Field<DialogueFile> questions() {
    Field<DialogueFile> f;
    f.key = "questions";
    f.read = [](const Reader& r, Fields& fields, DialogueFile& d) {
        int position = 0;
        for (const YAML::Node& item : r.items(fields["questions"], "questions")) {
            DialogueQuestion q = baseQuestion(++position);
            Fields qf(r, item, QString("question %1").arg(position));
            readTable(r, qf, q, kQuestion);
            qf.finish();
            d.questions.append(q);
        }
        if (d.questions.size() > 32767) r.fail(fields.node(), "a dialogue holds 32767 questions");
    };
    f.describe = [](YamlNode& m, const DialogueFile& d, const DialogueFile&) {
        if (d.questions.isEmpty()) return;
        YamlNode list = YamlNode::seq();
        for (int i = 0; i < d.questions.size(); ++i) {
            YamlNode q = YamlNode::map();
            describeTable(q, d.questions[i], baseQuestion(i + 1), kQuestion);
            list.append(std::move(q));
        }
        m.add("questions", std::move(list));
    };
    f.differs = [](const DialogueFile& d, const DialogueFile& base) {
        return d.questions != base.questions;
    };
    return f;
}

const Table<DialogueFile> kDialogue = {
    questions(),
    group<DialogueFile>(
        {.key = "raw",
         .fields = {field<&DialogueFile::Fields1to3>("fields_1_3"),
                    field<&DialogueFile::Text4>("field_4"), field<&DialogueFile::Text5>("field_5"),
                    field<&DialogueFile::Fields6to11>("fields_6_11")},
         .what = "dialogue raw fields"}),
};

} // namespace

DialogueFile readDialogue(const Reader& r, const YAML::Node& node) {
    DialogueFile d;
    Fields f(r, node, "dialogue");
    readTable(r, f, d, kDialogue);
    f.finish();
    return d;
}

YamlNode describeDialogue(const DialogueFile& dialogue) {
    YamlNode m = YamlNode::map();
    describeTable(m, dialogue, DialogueFile(), kDialogue);
    return m;
}

} // namespace tv::builder
