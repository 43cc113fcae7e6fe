#include "platform/system_objects.h"

#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/mouse_pointer.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

namespace tv {

namespace {
// Printing and reading the clipboard need a running application with a display (or offscreen).
QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

void AppObject::setPath(const QString& path) {
    path_ = path;
    while (path_.size() > 1 && (path_.endsWith('/') || path_.endsWith('\\')))
        path_.chop(1);
}
QString AppObject::exeName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void PrinterObject::Print(const QVariant&) {
    throw vbError(err::PrinterError);
}
void PrinterObject::NewPage() {
    throw vbError(err::PrinterError);
}
void PrinterObject::EndDoc() {
    throw vbError(err::PrinterError);
}
void PrinterObject::KillDoc() {
    throw vbError(err::PrinterError);
}

QObject* PrintersCollection::Item(int) const {
    throw vbError(err::SubscriptOutOfRange);
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
