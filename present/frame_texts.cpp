#include "present/frame_texts.h"

#include "data/frame_texts.h"
#include "data/project.h"
#include "data/reports.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/records.h"
#include "platform/core/run_flags.h"

#include <algorithm>

namespace tv {

namespace {
// The strip is this much taller than its text (35 pixels), and a message stays 70 ms for each
// character and a second more.
constexpr double kStripMarginTwips = 525;
constexpr qint64 kMessageMsPerCharacter = 70;
constexpr qint64 kMessageBaseMs = 1000;
constexpr quint32 kStripColour = color::White;
} // namespace

FrameTexts::FrameTexts() {
    connect(&timer_, &TimerControl::Timer, this, [this] { TimerMessageBox_Timer(); });
}

FrameTexts::~FrameTexts() = default;

void FrameTexts::createControls(PictureBox& display) {
    display_ = &display;
    auto* templ = new Label(&display, "Text");
    templ->setVisible(false);
    // Captions lie on the frame picture: only their letters are drawn.
    templ->setBackStyle(0);
    templ->setAutoSize(true);
    templ->setUseMnemonic(false);
    text_ = std::make_unique<ControlSet<Label>>(templ);
    connect(text_.get(), &ControlSetBase::MouseDown, this,
            [this](int, int button, int, double, double) { emit captionMouseDown(button); });
    connect(text_.get(), &ControlSetBase::MouseMove, this,
            [this](int, int, int, double, double) { emit pointerOverWords(); });

    strip_ = new FrameBox(&display, "FrameMessageBox");
    strip_->setBorderStyle(0);
    strip_->setBackColor(kStripColour);
    strip_->setVisible(false);
    stripLabel_ = new Label(strip_, "LabelMessageBox");
    stripLabel_->setBackStyle(0);
    stripLabel_->setAlignment(2);
    stripLabel_->setAutoSize(true);
    stripLabel_->setUseMnemonic(false);
    stripLabel_->setForeColor(color::Black);
    stripLabel_->setFontName("MS Sans Serif");
    stripLabel_->setFontSize(12);
    stripLabel_->setFontBold(true);
    stripLabel_->setVisible(false);
    // A click on the strip or its text hides it.
    for (Control* c : {static_cast<Control*>(strip_), static_cast<Control*>(stripLabel_)}) {
        connect(c, &Control::MouseDown, this,
                [this](int, int, double, double) { TimerMessageBox_Timer(); });
        connect(c, &Control::MouseMove, this,
                [this](int, int, double, double) { emit pointerOverWords(); });
    }
}

void FrameTexts::ResetFrameTexts() {
    for (int k : text_->indices()) {
        if (k == 0) continue;
        try {
            text_->Unload(k);
        } catch (const VbError&) {
        }
    }
}

void FrameTexts::LoadTexts(const QString& frame) {
    mergedTextIndex_ = 1;
    const QString path = frameTextFilePath(project().folders, frame);
    if (path.isEmpty()) return;
    try {
        RecordReader in = RecordReader::open(path);
        for (int r = 1; !in.atEnd() && !runFlags().quitting; ++r) {
            const int k = std::max(0, text_->ubound()) + 1;
            FrameTextRecord t;
            // A record with a bad value is read to its end and passed over without a word: its
            // caption stays hidden and the next record is read.
            const bool whole = readFrameTextRecord(in, t);
            if (t.Number == 1 && r != 1 && mergedTextIndex_ == 1) mergedTextIndex_ = k;
            try {
                text_->Load(k);
                Label& label = (*text_)(k);
                label.setVisible(false);
                label.setAutoSize(true);
                if (!whole) continue;
                label.setCaption(t.captionText());
                label.setLeft(t.Left);
                label.setTop(t.Top);
                label.setFontBold(t.Bold);
                label.setFontItalic(t.Italic);
                label.setFontName(t.fontNameOrDefault());
                label.setFontSize(t.FontSize);
                label.setFontStrikethru(t.Strikethrough);
                label.setFontUnderline(t.Underline);
                label.setForeColor(static_cast<quint32>(t.Colour));
                label.setVisible(true);
                label.ZOrder(0);
            } catch (const VbError&) {
                // A value the label refuses (a font size of 0, say): the same.
            }
        }
    } catch (const VbError& e) {
        if (!runFlags().quitting) standardErrorReport(" Error loading TextBoxes. ", e);
    }
}

void FrameTexts::ShowTextMessage(const QString& text, bool inFrame, bool noTimeout) {
    if (!inFrame) {
        DialogService::instance().msgBox(text, mb::OKOnly | mb::Information, gameTitle());
        return;
    }
    if (text.toLower() == "[hide]") {
        TimerMessageBox_Timer();
        return;
    }
    try {
        const double width = display_->ScaleWidth();
        strip_->setLeft(0);
        strip_->setWidth(width);
        // The label is centred on the strip's middle and grows evenly about it.
        stripLabel_->setAutoSize(true);
        stripLabel_->setCaption(QString());
        stripLabel_->setLeft(width / 2);
        stripLabel_->setCaption(text);
        const double height = stripLabel_->height() + kStripMarginTwips;
        strip_->setHeight(height);
        strip_->setTop(display_->ScaleHeight() - height);
        stripLabel_->setTop(kStripMarginTwips / 2);
        stripLabel_->setVisible(true);
        strip_->setVisible(true);
        strip_->ZOrder(0);
        EventLog::instance().write("message " + text);
        if (!noTimeout) {
            // The timer takes at most 65,535 ms; a longer message stays that long.
            const qint64 ms = kMessageMsPerCharacter * text.size() + kMessageBaseMs;
            timer_.setInterval(std::min<qint64>(ms, TimerControl::kMaxInterval));
            timer_.setEnabled(false);
            timer_.setEnabled(true);
        }
    } catch (const VbError&) {
        standardErrorReport(" Unable to display text message.");
    }
}

void FrameTexts::TimerMessageBox_Timer() {
    strip_->setVisible(false);
    stripLabel_->setVisible(false);
    timer_.setEnabled(false);
    timer_.setInterval(0);
}

bool FrameTexts::messageShown() const {
    return strip_ && strip_->isVisible();
}

void FrameTexts::hideMessage() {
    stripLabel_->setAutoSize(true);
    TimerMessageBox_Timer();
}

void FrameTexts::stopMessageTimer() {
    timer_.setEnabled(false);
}

void FrameTexts::applyDefaultPointer(const ApplyPointer& apply) {
    apply((*text_)(0));
    apply(*strip_);
    apply(*stripLabel_);
}

} // namespace tv
