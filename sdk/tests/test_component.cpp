// A component library for the tests: the control "TorvaneTest.Control" with methods, properties,
// PauseComponent/ResumeComponent and events with by-value and by-reference arguments. Built a
// second time with TV_TEST_HANG, whose registration entry point waits until the test lets it go.

#include "sdk/torvane_component.h"

#include <QPainter>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

class TestControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Pauses MEMBER pauses_)
    Q_PROPERTY(int Resumes MEMBER resumes_)
    Q_PROPERTY(int LastAnswer MEMBER lastAnswer_)
    Q_PROPERTY(QString LastText MEMBER lastText_)
    // 0xRRGGBB to fill the control with; -1 (the default) paints nothing.
    Q_PROPERTY(int Fill READ fill WRITE setFill)

public:
    explicit TestControl(QWidget* parent) : QWidget(parent) {}

    QString caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }

    Q_INVOKABLE int Add(int a, int b) const { return a + b; }
    Q_INVOKABLE void PauseComponent() { ++pauses_; }
    Q_INVOKABLE void ResumeComponent() { ++resumes_; }
    // Raises Changed; what the handler leaves in `answer` and `text` is kept.
    Q_INVOKABLE void Change(const QString& caption, int answer) {
        caption_ = caption;
        QString text = caption;
        emit Changed(caption, 7, answer, text);
        lastAnswer_ = answer;
        lastText_ = text;
    }
    Q_INVOKABLE void Ping() { emit Pinged(); }

    int fill() const { return fill_; }
    void setFill(int fill) {
        fill_ = fill;
        update();
    }

signals:
    void Changed(const QString& newCaption, int count, int& answer, QString& text);
    void Pinged();

private:
    QString caption_;
    int pauses_ = 0;
    int resumes_ = 0;
    int lastAnswer_ = 0;
    QString lastText_;
    int fill_ = -1;

protected:
    void paintEvent(QPaintEvent*) override {
        if (fill_ >= 0) QPainter(this).fillRect(rect(), QColor::fromRgb(QRgb(fill_)));
    }
};

QWidget* create(const char* progId, QWidget* container) {
    if (qstricmp(progId, "TorvaneTest.Control") == 0) return new TestControl(container);
    return nullptr;
}

#ifdef TV_TEST_HANG
std::mutex hangMutex;
std::condition_variable hangReleased;
bool released = false;
#endif

} // namespace

TV_COMPONENT_EXPORT int tvRegisterComponents(TvAddProgId add, void* context) {
#ifdef TV_TEST_HANG
    std::unique_lock<std::mutex> lock(hangMutex);
    hangReleased.wait(lock, [] { return released; });
#endif
    add(context, "TorvaneTest.Control");
    return 0;
}

TV_COMPONENT_EXPORT const TvComponentLibrary* tvComponentLibrary(void) {
    static const TvComponentLibrary library{TV_COMPONENT_ABI_VERSION, QT_VERSION_MAJOR, &create};
    return &library;
}

#ifdef TV_TEST_HANG
// Lets a waiting registration finish, so that no thread is left behind.
TV_COMPONENT_EXPORT void tvTestReleaseRegistration(void) {
    const std::lock_guard<std::mutex> lock(hangMutex);
    released = true;
    hangReleased.notify_all();
}
#endif

#include "test_component.moc"
