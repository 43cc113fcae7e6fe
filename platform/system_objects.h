#pragma once
// The classic runtime's global objects as scripts see them: App, Printer, Printers and Clipboard
// (the Screen is platform/screen.h). Members keep their classic names; scripts rely on those names
// only.

#include "platform/picture.h"

#include <QObject>
#include <QString>
#include <QVariantList>

namespace tv {

// The running program: where it is, its title and version.
class AppObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Path READ path)
    Q_PROPERTY(QString EXEName READ exeName)
    Q_PROPERTY(QString Title READ title WRITE setTitle)
    Q_PROPERTY(int Major READ major)
    Q_PROPERTY(int Minor READ minor)
    Q_PROPERTY(int Revision READ revision)
    Q_PROPERTY(bool PrevInstance READ prevInstance)
    Q_PROPERTY(bool TaskVisible READ taskVisible WRITE setTaskVisible)
    Q_PROPERTY(QString ProductName READ title)
    Q_PROPERTY(QString HelpFile READ helpFile WRITE setHelpFile)
public:
    // `path`: the folder the game is played from (App.Path has no trailing separator).
    explicit AppObject(QObject* parent = nullptr) : QObject(parent) {}
    QString path() const { return path_; }
    void setPath(const QString& path);
    QString exeName() const;
    QString title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    int major() const { return 4; }
    int minor() const { return 3; }
    int revision() const { return 0; }
    bool prevInstance() const { return false; }
    bool taskVisible() const { return taskVisible_; }
    void setTaskVisible(bool visible) { taskVisible_ = visible; }
    QString helpFile() const { return helpFile_; }
    void setHelpFile(const QString& file) { helpFile_ = file; }

private:
    QString path_;
    QString title_;
    QString helpFile_;
    bool taskVisible_ = true;
};

// The default printer. The player prints nothing: there is no printer, and printing fails with
// the classic "Printer error" that a script can trap.
class PrinterObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString DeviceName READ none)
    Q_PROPERTY(QString DriverName READ none)
    Q_PROPERTY(QString Port READ none)
public:
    using QObject::QObject;
    QString none() const { return {}; }
    Q_INVOKABLE void Print(const QVariant& text = {});
    Q_INVOKABLE void NewPage();
    Q_INVOKABLE void EndDoc();
    Q_INVOKABLE void KillDoc();
};

// The printers the system offers: none.
class PrintersCollection : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
    Q_CLASSINFO("DefaultMember", "Item")
public:
    using QObject::QObject;
    int count() const { return 0; }
    Q_INVOKABLE QObject* Item(int index) const;
    Q_INVOKABLE QVariantList NewEnum() const { return {}; }
};

// The system clipboard: text and pictures.
class ClipboardObject : public QObject {
    Q_OBJECT
public:
    // The classic clipboard formats.
    enum { Text = 1, Bitmap = 2, Dib = 8 };

    using QObject::QObject;
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QString GetText(int format = Text) const;
    Q_INVOKABLE void SetText(const QString& text, int format = Text);
    Q_INVOKABLE bool GetFormat(int format) const;
    Q_INVOKABLE tv::Picture GetData(int format = Bitmap) const;
    Q_INVOKABLE void SetData(const tv::Picture& picture, int format = Bitmap);
};

} // namespace tv
