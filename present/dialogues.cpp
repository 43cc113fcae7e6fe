#include "present/dialogues.h"

#include "data/reports.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/run_flags.h"
#include "platform/event_loop.h"
#include "present/frame_texts.h"

#include <cmath>

namespace tv {

namespace {
// Layout in twips: the first question's top and left, the gap between questions, and the room
// below the last one.
constexpr double kFirstTop = 300, kLeft = 360, kGap = 90, kBottom = 300;
} // namespace

Dialogues::Dialogues(DialogueSite& site, FrameTexts& texts) : site_(site), texts_(texts) {}

Dialogues::~Dialogues() = default;

void Dialogues::createControls(PictureBox& display) {
    display_ = &display;
    panel_ = new FrameBox(&display, "fmeDialogue");
    panel_->setBorderStyle(0);
    panel_->setBackColor(color::Black);
    panel_->setVisible(false);
    auto* templ = new Label(panel_, "lblDialogue");
    templ->setVisible(false);
    templ->setBackStyle(0);
    templ->setAutoSize(true);
    templ->setUseMnemonic(false);
    templ->setFontName("Arial");
    templ->setFontSize(11);
    templ->setFontBold(true);
    templ->setForeColor(kNew);
    labels_ = std::make_unique<ControlSet<Label>>(templ);
    connect(labels_.get(), &ControlSetBase::Click, this,
            [this](int index) { RuntimeQuestionClick(index); });
    connect(labels_.get(), &ControlSetBase::MouseMove, this,
            [this](int index, int, int, double, double) { highlight(index); });
    connect(panel_, &Control::MouseMove, this, [this](int, int, double, double) { highlight(0); });
}

void Dialogues::LoadDialogue(const QString& path) {
    questions_.clear();
    if (!files::fileExists(path)) return;
    DialogueFile file;
    try {
        readDialogueFile(files::resolve(path), file);
    } catch (const VbError& e) {
        // What was read before the fault stays.
        for (const DialogueQuestion& q : file.questions)
            questions_.append({q, q.ShownAtStart, false});
        DialogService::instance().msgBox(errorText(e) + "\r\n\r\nError loading the dialogue.",
                                         mb::OKOnly | mb::Critical, "Error");
        return;
    }
    for (const DialogueQuestion& q : file.questions)
        questions_.append({q, q.ShownAtStart, false});
    active_ = true;
    activeFrame_ = site_.currentFrameName();
}

void Dialogues::RuntimeDisplayQuestions() {
    try {
        for (int k : labels_->indices())
            if (k != 0) labels_->Unload(k);
        questionOfLabel_ = {0};
        double y = kFirstTop;
        for (int i = 0; i < questions_.size(); ++i) {
            const DialogueQuestionState& q = questions_[i];
            if (!q.Shown) continue;
            const int k = int(questionOfLabel_.size());
            labels_->Load(k);
            Label& label = (*labels_)(k);
            label.setCaption(q.question.Question);
            questionOfLabel_.append(i);
            label.Move(kLeft, y);
            label.setForeColor(q.Asked ? kAsked : kNew);
            label.setVisible(true);
            y = std::nearbyint(y + label.height() + kGap);
        }
        if (questionOfLabel_.size() == 1) {
            QuitDialogue();
            return;
        }
        const double height = y + kBottom;
        panel_->Move(0, display_->ScaleHeight() - height, display_->ScaleWidth(), height);
        panel_->setVisible(true);
        panel_->ZOrder(0);
    } catch (const VbError& e) {
        standardErrorReport(" Error in RuntimeDisplayQuestions. ", e);
    }
}

void Dialogues::RuntimeQuestionClick(int labelIndex) {
    if (labelIndex <= 0 || labelIndex >= questionOfLabel_.size()) return;
    const int i = questionOfLabel_[labelIndex];
    try {
        questions_[i].Asked = true;
        // A copy: the question's scripts may end the dialogue or start another.
        const DialogueQuestion q = questions_[i].question;
        panel_->setVisible(false);
        RunFlags& f = runFlags();
        auto& loop = EventLoop::instance();

        runScript(q.script1Text());
        runHotspot(q.Hotspot1);
        runScript(q.script2Text());
        runHotspot(q.Hotspot2);

        const auto answerMs = static_cast<qint64>(q.AnswerSeconds * 1000);
        if (!q.Answer.isEmpty()) {
            if (q.Wait) {
                texts_.ShowTextMessage(q.Answer, true, true);
                loop.wait(answerMs);
                if (f.quitting) return;
                texts_.TimerMessageBox_Timer();
            } else {
                texts_.ShowTextMessage(q.Answer, true, false);
                while (texts_.messageShown() && !f.quitting && !loop.quitRequested())
                    loop.doEvents();
            }
        } else if (q.Wait) {
            loop.wait(answerMs);
        }
        if (f.quitting) return;
        if (q.EndsDialogue) QuitDialogue();

        runScript(q.script3Text());
        if (f.quitting) return;
        runHotspot(q.Hotspot3);
        if (q.EndsDialogue || f.quitting) return;

        setShown(q.ShowList, true);
        setShown(q.HideList, false);
        RuntimeDisplayQuestions();
    } catch (const VbError& e) {
        standardErrorReport(" Error in RuntimeQuestionClick. ", e);
    }
}

void Dialogues::QuitDialogue() {
    if (panel_) panel_->setVisible(false);
    active_ = false;
    activeFrame_.clear();
}

void Dialogues::highlight(int labelIndex) {
    for (int k : labels_->indices()) {
        if (k == 0) continue;
        Label& label = (*labels_)(k);
        const quint32 c = label.foreColor();
        const bool asked = c == kAsked || c == kAskedLit;
        if (k == labelIndex)
            label.setForeColor(asked ? kAskedLit : kNewLit);
        else
            label.setForeColor(asked ? kAsked : kNew);
    }
}

void Dialogues::runScript(const QString& code) {
    if (!code.isEmpty()) site_.runQuestionScript(code);
}

void Dialogues::runHotspot(int k) {
    if (k > 0 && k <= site_.hotspotCount()) site_.runHotspotAction(k);
}

void Dialogues::setShown(const QList<qint16>& ids, bool shown) {
    // Each id names the first question that has it.
    for (qint16 id : ids) {
        for (DialogueQuestionState& q : questions_) {
            if (q.question.Id == id) {
                q.Shown = shown;
                break;
            }
        }
    }
}

} // namespace tv
