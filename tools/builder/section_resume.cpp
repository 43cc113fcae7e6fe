// The "Resume" file of Config (`resume`): where a loaded game really resumes when it was saved at
// a frame. Pairs of frame names after six values the player steps over (under `raw: leading`):
//
//   resume:
//     frames:
//       - {saved: Hall, resumes_at: Tower}

#include "tools/builder/sections.h"

namespace tv::builder {

ResumeFile readResumeDescription(const Reader& r, const YAML::Node& node) {
    Fields f(r, node, "resume");
    ResumeFile resume;
    if (const YAML::Node n = f["frames"]; n.IsDefined()) {
        for (const YAML::Node& entry : r.items(n, "frames")) {
            Fields pair(r, entry, QString("resume pair %1").arg(resume.Pairs.size() + 1));
            const YAML::Node saved = pair["saved"];
            const YAML::Node at = pair["resumes_at"];
            if (!saved.IsDefined() || !at.IsDefined())
                r.fail(entry, pair.what() + " needs saved and resumes_at");
            resume.Pairs.append({r.text(saved, "saved"), r.text(at, "resumes_at")});
            pair.finish();
        }
    }
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of resume");
        if (const YAML::Node n = raw["leading"]; n.IsDefined())
            resume.Leading = r.values(n, "leading", 6);
        raw.finish();
    }
    f.finish();
    return resume;
}

YamlNode describeResume(const ResumeFile& resume) {
    const ResumeFile base;
    YamlNode m = YamlNode::map();
    YamlNode list = YamlNode::seq();
    for (const auto& [saved, at] : resume.Pairs) {
        YamlNode entry = YamlNode::map();
        entry.add("saved", YamlNode::text(saved));
        entry.add("resumes_at", YamlNode::text(at));
        list.append(std::move(entry));
    }
    m.add("frames", std::move(list));
    if (resume.Leading != base.Leading) {
        YamlNode raw = YamlNode::map();
        raw.add("leading", describeValues(resume.Leading));
        m.add("raw", std::move(raw));
    }
    return m;
}

} // namespace tv::builder
