#pragma once
// Message boxes and input boxes: one service, so that automated runs can log and answer them.
// The service itself needs no window system; the window layer installs the presenter that shows
// real boxes. Without one (command-line tools) a box is written to standard error and takes its
// default answer.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

namespace tv {

namespace mb {
// Buttons, icons and default-button flags of the classic MsgBox.
constexpr int OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4,
              RetryCancel = 5;
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
constexpr int DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512;
// Results.
constexpr int OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
} // namespace mb

// Shows boxes to the user and waits for the answer.
class DialogPresenter {
public:
    virtual ~DialogPresenter() = default;
    // One of the mb:: results.
    virtual int msgBox(const QString& text, int flags, const QString& title) = 0;
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
};

class DialogService {
public:
    static DialogService& instance();

    // Automated: no window is shown; each box takes the next queued answer, else its default
    // button (an input box: its default text). Every box is logged either way.
    void setAutomated(bool automated) { automated_ = automated; }
    bool automated() const { return automated_; }

    // The presenter stays owned by the caller and must outlive its use; nullptr removes it.
    void setPresenter(DialogPresenter* presenter) { presenter_ = presenter; }

    // The classic MsgBox; returns one of the mb:: results.
    int msgBox(const QString& text, int flags, const QString& title);
    // The classic InputBox; nullopt when cancelled.
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText = {});

    // Answers for the next boxes, in order: a button caption ("OK", "Yes", "No", ...).
    void queueAnswer(const QString& button) { answers_.push_back(button); }
    void queueInput(std::optional<QString> text) { inputs_.push_back(std::move(text)); }

    // The buttons a box with these flags shows, in order, and its default one.
    static QStringList buttonCaptions(int flags);
    static int resultForCaption(const QString& caption);
    static QString captionForResult(int result);
    // The index in buttonCaptions(flags) of the default button.
    static int defaultButtonIndex(int flags);

private:
    DialogService() = default;
    bool automated_ = false;
    DialogPresenter* presenter_ = nullptr;
    std::deque<QString> answers_;
    std::deque<std::optional<QString>> inputs_;
};

} // namespace tv
