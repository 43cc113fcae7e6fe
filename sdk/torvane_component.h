#pragma once
// The contract between the player and a component library: a shared object that offers one or
// more controls, each known by a programmatic identifier (ProgID) such as "Vendor.Control".
//
// A library exports two functions with C linkage:
//
//   int tvRegisterComponents(TvAddProgId add, void* context);
//       The registration entry point. It calls `add(context, progId)` once for each ProgID the
//       library offers and returns 0. The player runs it on a worker thread and waits a bounded
//       time for it, so it must do nothing but name its ProgIDs (no windows, no Qt objects).
//
//   const TvComponentLibrary* tvComponentLibrary(void);
//       The factory, called on the window thread. It returns a table that lives as long as the
//       library is loaded.
//
// A control is a QWidget made by `create` with `container` as its parent (or none; the player
// re-parents it). Its Q_PROPERTY properties and Q_INVOKABLE methods reach scripts by name, its
// signals are its events: a signal's arguments are the event's parameters, and a parameter
// declared as a non-const reference ("int&", "QString&") is passed by reference, so what the
// script leaves in it goes back to the control when the signal returns. Optional methods
// PauseComponent() and ResumeComponent() are called around frame transitions.
//
// The player and the library must use the same Qt major version; `qtMajorVersion` lets the
// player refuse a library built against another one instead of crashing in it.
//
// The player's host. A control that paces itself (an engine loop, an animation) keeps the
// player's time rather than the wall clock's, so that automated runs under virtual time see it
// as a player would. The application's property TV_COMPONENT_HOST_PROPERTY holds a QObject*
// whose members are called by name (QMetaObject::invokeMethod):
//   double now()                      the player's clock, in milliseconds
//   void doEvents()                   the classic DoEvents: window events, then due timers
//   void wait(double ms)              lets time pass while processing events
//   void sleep(double ms)             lets time pass without processing anything
//   QObject* newTimer(QObject* parent) a timer of the player's loop, owned by parent:
//                                     properties Interval (ms, 0 stops it) and Enabled, and
//                                     the signal Timer()
//   int msgBox(QString prompt, int buttons, QString title)
//                                     the classic MsgBox, through the player's message service
//   QString localPath(QString path)   a path as games write it ("Frames\Hall.jpg", any case,
//                                     drive letters) on this file system
// Without a host (another program loading the library) a control falls back on Qt's own.
//
// Objects the player hands over are QObjects with the classic members (Left, Top, Visible...).
// Its pictures as control properties (Picture, Image, MouseIcon) convert with
// QVariant::value<QImage>(), and to a pointer with value<QCursor>(); a QImage written to a
// Picture property becomes a picture. A picture object from a script (LoadPicture) holds its
// image in the dynamic property "tvImage".

#include <stdint.h>

#ifdef __cplusplus
class QWidget;
extern "C" {
#else
typedef struct QWidget QWidget;
#endif

#define TV_COMPONENT_ABI_VERSION 1

#define TV_COMPONENT_REGISTER_SYMBOL "tvRegisterComponents"
#define TV_COMPONENT_LIBRARY_SYMBOL "tvComponentLibrary"
#define TV_COMPONENT_HOST_PROPERTY "tvComponentHost"

typedef void (*TvAddProgId)(void* context, const char* progId);

typedef struct TvComponentLibrary {
    // TV_COMPONENT_ABI_VERSION of the header the library was built with.
    uint32_t abiVersion;
    // QT_VERSION_MAJOR of the Qt the library was built with.
    uint32_t qtMajorVersion;
    // A new control for `progId` (compared without case), or null when the library does not
    // offer it or cannot make it. `progId` is UTF-8.
    QWidget* (*create)(const char* progId, QWidget* container);
} TvComponentLibrary;

typedef int (*TvRegisterComponentsFn)(TvAddProgId add, void* context);
typedef const TvComponentLibrary* (*TvComponentLibraryFn)(void);

#ifdef __cplusplus
} // extern "C"
#endif

// For a library's own source: the export attribute of the two entry points.
#if defined(__GNUC__)
#define TV_COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define TV_COMPONENT_EXPORT extern "C"
#endif
