#include "platform/system_objects.h"

#include "platform/controls.h"
#include "platform/mouse_pointer.h"
#include "platform/vberror.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

namespace tv {

namespace {
QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(800, 600);
}

// Printing and reading the clipboard need a running application with a display (or offscreen).
QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

constexpr int kPrinterError = 482;
} // namespace

double ScreenObject::width() const {
    return screenSize().width() * kTwipsPerPixel;
}
double ScreenObject::height() const {
    return screenSize().height() * kTwipsPerPixel;
}
int ScreenObject::twipsPerPixel() const {
    return kTwipsPerPixel;
}
void ScreenObject::setMousePointer(int number) {
    checkMousePointer(number);
    pointer_ = number;
    setScreenPointer(number, icon_);
}
void ScreenObject::setMouseIcon(const Picture& icon) {
    icon_ = icon;
    if (pointer_ == pointer::Custom) setScreenPointer(pointer_, icon_);
}
int ScreenObject::fontCount() const {
    return static_cast<int>(QFontDatabase::families().size());
}
QString ScreenObject::Fonts(int index) const {
    const QStringList families = QFontDatabase::families();
    if (index < 0 || index >= families.size()) throw VbError(err::InvalidCall);
    return families[index];
}

void AppObject::setPath(const QString& path) {
    path_ = path;
    while (path_.size() > 1 && (path_.endsWith('/') || path_.endsWith('\\')))
        path_.chop(1);
}
QString AppObject::exeName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void PrinterObject::Print(const QVariant&) {
    throw VbError(kPrinterError, "Printer error");
}
void PrinterObject::NewPage() {
    throw VbError(kPrinterError, "Printer error");
}
void PrinterObject::EndDoc() {
    throw VbError(kPrinterError, "Printer error");
}
void PrinterObject::KillDoc() {
    throw VbError(kPrinterError, "Printer error");
}

QObject* PrintersCollection::Item(int) const {
    throw VbError(err::SubscriptOutOfRange);
}

void ClipboardObject::Clear() {
    if (QClipboard* c = clipboard()) c->clear();
}
QString ClipboardObject::GetText(int) const {
    QClipboard* c = clipboard();
    return c ? c->text() : QString();
}
void ClipboardObject::SetText(const QString& text, int) {
    if (QClipboard* c = clipboard()) c->setText(text);
}
bool ClipboardObject::GetFormat(int format) const {
    QClipboard* c = clipboard();
    if (!c || !c->mimeData()) return false;
    if (format == Text) return c->mimeData()->hasText();
    if (format == Bitmap || format == Dib) return c->mimeData()->hasImage();
    return false;
}
Picture ClipboardObject::GetData(int) const {
    QClipboard* c = clipboard();
    return c ? Picture(c->image()) : Picture();
}
void ClipboardObject::SetData(const Picture& picture, int) {
    if (QClipboard* c = clipboard()) c->setImage(picture.image());
}

} // namespace tv
