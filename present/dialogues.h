#pragma once
// Question-and-answer dialogues: the frame's questions listed in a panel along the bottom of the
// frame (fmeDialogue holding the labels lblDialogue). Picking one runs its scripts and hotspot
// actions, shows its answer in the message strip, shows and hides other questions and may end
// the dialogue. The questions' state lives as long as the dialogue does, across frame changes.

#include "data/dialogue_file.h"
#include "platform/control_set.h"
#include "platform/controls.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace tv {

class FrameTexts;

// What a dialogue needs of the game.
class DialogueSite {
public:
    virtual ~DialogueSite() = default;
    // Runs a question's script and the requests it leaves (frame changes and the like).
    virtual void runQuestionScript(const QString& code) = 0;
    // Runs hotspot k's action as a click would, keeping the dialogue.
    virtual void runHotspotAction(int k) = 0;
    virtual int hotspotCount() const = 0;
    virtual QString currentFrameName() const = 0;
};

struct DialogueQuestionState {
    DialogueQuestion question;
    bool Shown = false;
    bool Asked = false;
};

class Dialogues : public QObject {
    Q_OBJECT
public:
    // Colours of the questions (0x00BBGGRR): not yet asked, asked, and each under the pointer.
    static constexpr quint32 kNew = 0xC8C8C8, kAsked = 0x787878;
    static constexpr quint32 kNewLit = 0xFFFFFF, kAskedLit = 0xE6E6E6;

    Dialogues(DialogueSite& site, FrameTexts& texts);
    ~Dialogues() override;

    void createControls(PictureBox& display);

    bool active() const { return active_; }
    const QString& activeFrame() const { return activeFrame_; }
    // Reads the dialogue file (a missing one gives an empty dialogue) and makes it active.
    void LoadDialogue(const QString& path);
    void RuntimeDisplayQuestions();
    void RuntimeQuestionClick(int labelIndex);
    void QuitDialogue();
    // Frame opening: load and show.
    void loadAndDisplay(const QString& path) {
        LoadDialogue(path);
        RuntimeDisplayQuestions();
    }
    void endDialogue() { QuitDialogue(); }

    const QList<DialogueQuestionState>& questions() const { return questions_; }

    FrameBox& fmeDialogue() { return *panel_; }
    ControlSet<Label>& lblDialogue() { return *labels_; }

private:
    void highlight(int labelIndex);
    void runScript(const QString& code);
    void runHotspot(int k);
    void setShown(const QList<qint16>& ids, bool shown);

    DialogueSite& site_;
    FrameTexts& texts_;
    PictureBox* display_ = nullptr;
    FrameBox* panel_ = nullptr;
    std::unique_ptr<ControlSet<Label>> labels_;
    QList<DialogueQuestionState> questions_;
    QList<int> questionOfLabel_; // index = label index
    bool active_ = false;
    QString activeFrame_;
};

} // namespace tv
