#pragma once
// The classic forms runtime over Qt widgets: forms, image controls, labels, picture boxes and
// frames. Every control is a QObject whose properties carry the classic names (so scripts reach
// them late-bound) and whose events are signals with the classic arguments.
//
// Units: a control's Left, Top, Width and Height are in the scale of its container (twips, 15 per
// pixel, unless the container's ScaleMode says otherwise); a form's are screen twips. Mouse
// coordinates are in the scale of the control itself for containers, otherwise in that of its
// container. Positions snap to whole pixels, as on the real screen.
//
// Stacking: within one container, "graphical" controls (images, labels) always lie below
// "windowed" ones (picture boxes, frames, foreign widgets); ZOrder moves a control to the front
// or back of its own layer. A newly created control goes on top of its layer.

#include "platform/named_members.h"
#include "platform/picture.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QEvent;
class QKeyEvent;
class QMenuBar;
class QMouseEvent;
class QPainter;
class QWidget;

namespace tv {

constexpr int kTwipsPerPixel = 15;

// Colours are 0x00BBGGRR; 0x80000000 + n is system colour n (given fixed classic values).
QColor fromOleColor(quint32 color);
quint32 toOleColor(const QColor& color);

namespace color {
constexpr quint32 Black = 0x000000;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 WindowBackground = 0x80000005;
constexpr quint32 WindowText = 0x80000008;
constexpr quint32 ButtonFace = 0x8000000F;
constexpr quint32 ButtonText = 0x80000012;
} // namespace color

// ScaleMode values. User-defined scales (0) are not supported.
namespace scale {
constexpr int Twips = 1;
constexpr int Points = 2;
constexpr int Pixels = 3;
constexpr int Characters = 4;
constexpr int Inches = 5;
constexpr int Millimeters = 6;
constexpr int Centimeters = 7;
} // namespace scale

// Classic event arguments: the Button of mouse events, the Shift mask of mouse and key events,
// and the KeyCode of key events (the system's virtual key codes).
namespace mouseButton {
constexpr int Left = 1, Right = 2, Middle = 4;
} // namespace mouseButton
namespace shiftMask {
constexpr int Shift = 1, Ctrl = 2, Alt = 4;
} // namespace shiftMask
namespace keyCode {
constexpr int Back = 8, Tab = 9, Clear = 12, Return = 13, Shift = 16, Control = 17, Menu = 18,
              Pause = 19, Capital = 20, Escape = 27, Space = 32, PageUp = 33, PageDown = 34,
              End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40, Snapshot = 44,
              Insert = 45, Delete = 46, Help = 47, Digit0 = 48, A = 65, Apps = 93, Numpad0 = 96,
              Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111, F1 = 112,
              NumLock = 144, Scroll = 145, Semicolon = 186, Plus = 187, Comma = 188, Minus = 189,
              Period = 190, Slash = 191, Backquote = 192, OpenBracket = 219, Backslash = 220,
              CloseBracket = 221, Quote = 222;
} // namespace keyCode
int classicButton(Qt::MouseButton button);
int classicButtons(Qt::MouseButtons buttons);
int classicShift(Qt::KeyboardModifiers modifiers);
int classicKeyCode(int qtKey, Qt::KeyboardModifiers modifiers = {});

// Font sizes are points; they become pixels at 96 dots per inch whatever the screen says, so a
// frame looks the same everywhere.
int fontPixelSize(double points);

struct ClassicFont {
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;

    QFont toQFont() const;
};

class ContainerControl;
class Form;
namespace detail {
class ControlWidget;
}

class Control : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(int Index READ index)
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ width WRITE setWidth)
    Q_PROPERTY(double Height READ height WRITE setHeight)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(tv::Picture MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(tv::Picture DragIcon READ dragIcon WRITE setDragIcon)
    Q_PROPERTY(int WhatsThisHelpID READ whatsThisHelpId WRITE setWhatsThisHelpId)
    Q_PROPERTY(tv::Control* Container READ container WRITE setContainer)
    Q_PROPERTY(QObject* Parent READ parentForm)

public:
    ~Control() override;

    QString name() const { return objectName(); }
    // -1 when the control is not an element of a control set.
    int index() const { return index_; }
    void setIndex(int index) { index_ = index; }

    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double left);
    void setTop(double top);
    void setWidth(double width);   // negative: VbError 380
    void setHeight(double height); // negative: VbError 380
    // The same under their classic spellings.
    double Left() const { return left(); }
    double Top() const { return top(); }
    double Width() const { return width(); }
    double Height() const { return height(); }

    // Geometry in pixels, relative to the container's inner area (a form's: to the screen).
    virtual QRect pixelGeometry() const;
    virtual void setPixelGeometry(const QRect& rect);

    // Units of this control's geometry, in twips per unit.
    double geometryTwipsPerUnitX() const;
    double geometryTwipsPerUnitY() const;

    // The control's own Visible flag (it may still be hidden by its container).
    virtual bool isVisible() const { return visible_; }
    virtual void setVisible(bool visible);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);

    QString tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }
    QString toolTipText() const { return toolTip_; }
    void setToolTipText(const QString& text);

    int mousePointer() const { return pointer_; }
    void setMousePointer(int number); // unknown numbers: VbError 380
    const Picture& mouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const Picture& icon);
    const Picture& dragIcon() const { return dragIcon_; }
    void setDragIcon(const Picture& icon) { dragIcon_ = icon; }
    int whatsThisHelpId() const { return whatsThisHelpId_; }
    void setWhatsThisHelpId(int id) { whatsThisHelpId_ = id; }

    // Move left [, top [, width [, height]]]; missing arguments keep their value.
    Q_INVOKABLE void Move(double left, const QVariant& top = {}, const QVariant& width = {},
                          const QVariant& height = {});
    // 0 brings the control to the front of its layer, 1 sends it to the back.
    Q_INVOKABLE void ZOrder(int position = 0);
    // Repaints at once.
    Q_INVOKABLE void Refresh();
    // Takes the keyboard focus (a form: its window does).
    Q_INVOKABLE void SetFocus();
    // The classic manual drag: 1 begins dragging this control, with its DragIcon as the pointer;
    // 0 cancels; 2 drops it where the pointer is. While the drag lasts the controls under the
    // pointer get DragOver instead of mouse events, and the one under the release DragDrop.
    Q_INVOKABLE void Drag(int action = 1);
    // The control being dragged, or nullptr.
    static Control* draggedControl();

    QWidget* widget() const;
    Control* container() const;
    ContainerControl* containerControl() const;
    // Moves the control into another container, keeping its pixel position. Anything that is not
    // a container: VbError 380.
    void setContainer(Control* container);
    Form* form() const;
    QObject* parentForm() const;

    // What the control shows, with its children (works for hidden windows and offscreen).
    QImage grab() const;

    // Images and labels are drawn on their container; windowed controls lie above them.
    bool isGraphical() const { return graphical_; }

    // Unloads the control: hides it and cuts its signals now, and frees it as soon as none of its
    // own event handlers is running (a control may unload itself from its own event).
    void dispose();
    bool isDisposed() const { return disposed_; }

signals:
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void Click();
    void DblClick();
    // (x, y) in the units of this control's mouse events. DragOver's state: 0 the dragged control
    // enters, 1 it leaves, 2 it moves within.
    void DragDrop(tv::Control* source, double x, double y);
    void DragOver(tv::Control* source, double x, double y, int state);

protected:
    // widget is the control's outer widget, made by the subclass; graphical: see isGraphical().
    Control(Control* container, const QString& name, detail::ControlWidget* widget, bool graphical);

    // Every event of the control's widgets comes here first; true when handled.
    virtual bool widgetEvent(QWidget* widget, QEvent* event);
    virtual void paint(QWidget* widget, QPainter& painter);
    // The widget that mouse coordinates are measured from, and their units (twips per unit).
    virtual QWidget* coordinateOrigin() const;
    virtual double eventTwipsPerUnitX() const { return geometryTwipsPerUnitX(); }
    virtual double eventTwipsPerUnitY() const { return geometryTwipsPerUnitY(); }
    // Another widget of this control (such as an inner area) whose events come here too.
    void adoptWidget(detail::ControlWidget* widget);
    virtual void applyPointer();
    // Keeps the control's stacking layer after it entered or moved within its container.
    void restackInContainer();

private:
    friend class detail::ControlWidget;
    friend class ContainerControl;
    friend class DragTracker;

    // A point of `widget` in the units of this control's mouse events.
    QPointF eventPosition(const QWidget* widget, QPointF pos) const;

    void attachTo(ContainerControl* container);
    void handleMouse(QWidget* widget, QMouseEvent* event);

    // ControlWidgets, held as QObject so that this header needs no widget headers.
    QPointer<QObject> widget_;
    const bool graphical_;
    std::vector<QPointer<QObject>> widgets_;
    int index_ = -1;
    bool visible_ = true;
    bool enabled_ = true;
    QString tag_;
    QString toolTip_;
    int pointer_ = 0;
    Picture mouseIcon_;
    Picture dragIcon_;
    int whatsThisHelpId_ = 0;
    int busy_ = 0;
    bool disposed_ = false;
    bool clickArmed_ = false;
};

// A control that holds other controls in its inner area, measured in its own scale.
class ContainerControl : public Control {
    Q_OBJECT

public:
    // The widget that holds the children.
    QWidget* clientWidget() const;

    int scaleMode() const { return scaleMode_; }
    void setScaleMode(int mode); // unsupported modes: VbError 380
    virtual double twipsPerUnitX() const;
    virtual double twipsPerUnitY() const;
    double scaleWidth() const;
    double scaleHeight() const;
    double ScaleWidth() const { return scaleWidth(); }
    double ScaleHeight() const { return scaleHeight(); }

    double toUnitsX(double pixels) const { return pixels * kTwipsPerPixel / twipsPerUnitX(); }
    double toUnitsY(double pixels) const { return pixels * kTwipsPerPixel / twipsPerUnitY(); }
    int toPixelsX(double units) const;
    int toPixelsY(double units) const;

    // The loaded controls in this container, in creation order.
    QList<Control*> controls() const;
    // The first loaded control of that name (and index, when not -1), or nullptr.
    Control* findControl(const QString& name, int index = -1) const;

signals:
    void Resize();

protected:
    // client is a separate inner widget that holds the children (the control places it).
    ContainerControl(Control* container, const QString& name, detail::ControlWidget* widget,
                     detail::ControlWidget* client);
    // The outer widget holds the children itself.
    ContainerControl(Control* container, const QString& name, detail::ControlWidget* widget);

    bool widgetEvent(QWidget* widget, QEvent* event) override;
    QWidget* coordinateOrigin() const override;
    double eventTwipsPerUnitX() const override { return twipsPerUnitX(); }
    double eventTwipsPerUnitY() const override { return twipsPerUnitY(); }
    void applyPointer() override;
    // Places the client widget inside the outer one (borders, menu bars).
    virtual void layoutClient() {}

private:
    friend class Control;
    // Keeps windowed children above graphical ones, each layer in its own order.
    void restack();

    QPointer<QObject> client_;
    int scaleMode_ = scale::Twips;
};

// Shared by forms and picture boxes: a back colour, a picture and a persistent drawing that
// Cls, PaintPicture, Print, Line and PSet work on. Painted in this order: BackColor, Picture at
// (0, 0), the drawing, then the child controls. Drawings always persist (as with AutoRedraw on).
class CanvasControl : public ContainerControl {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(tv::Picture Picture READ picture WRITE setPicture)
    Q_PROPERTY(tv::Picture Image READ image)
    Q_PROPERTY(bool AutoRedraw READ autoRedraw WRITE setAutoRedraw)
    Q_PROPERTY(int ScaleMode READ scaleMode WRITE setScaleMode)
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)
    Q_PROPERTY(double CurrentX READ currentX WRITE setCurrentX)
    Q_PROPERTY(double CurrentY READ currentY WRITE setCurrentY)
    Q_PROPERTY(int DrawWidth READ drawWidth WRITE setDrawWidth)
    Q_PROPERTY(bool FontTransparent READ fontTransparent WRITE setFontTransparent)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(bool FontStrikethru READ fontStrikethru WRITE setFontStrikethru)

public:
    quint32 backColor() const { return backColor_; }
    // Changing the back colour clears the drawing, as the classic runtime does.
    void setBackColor(quint32 color);
    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    const Picture& picture() const { return picture_; }
    virtual void setPicture(const Picture& picture);
    // BackColor, Picture and drawing of the inner area as one picture.
    Picture image() const;
    QImage composedImage() const;
    bool autoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    double currentX() const { return currentX_; }
    void setCurrentX(double x) { currentX_ = x; }
    double currentY() const { return currentY_; }
    void setCurrentY(double y) { currentY_ = y; }
    int drawWidth() const { return drawWidth_; }
    void setDrawWidth(int width); // below 1: VbError 380
    bool fontTransparent() const { return fontTransparent_; }
    void setFontTransparent(bool on) { fontTransparent_ = on; }

    const ClassicFont& font() const { return font_; }
    void setFont(const ClassicFont& font) { font_ = font; }
    QString fontName() const { return font_.name; }
    void setFontName(const QString& name) { font_.name = name; }
    double fontSize() const { return font_.size; }
    void setFontSize(double size); // not positive: VbError 380
    bool fontBold() const { return font_.bold; }
    void setFontBold(bool on) { font_.bold = on; }
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on) { font_.italic = on; }
    bool fontUnderline() const { return font_.underline; }
    void setFontUnderline(bool on) { font_.underline = on; }
    bool fontStrikethru() const { return font_.strikethru; }
    void setFontStrikethru(bool on) { font_.strikethru = on; }

    // Clears the drawing to BackColor (the Picture stays); CurrentX = CurrentY = 0.
    Q_INVOKABLE void Cls();
    // Draws (part of) a picture onto the drawing. Positions and sizes in scale units; a missing
    // size is the picture's own, a negative one mirrors the picture.
    Q_INVOKABLE void PaintPicture(const tv::Picture& picture, double x, double y,
                                  const QVariant& width = {}, const QVariant& height = {},
                                  const QVariant& srcX = {}, const QVariant& srcY = {},
                                  const QVariant& srcWidth = {}, const QVariant& srcHeight = {});
    // Prints text at CurrentX, CurrentY in ForeColor and the font; each line break (and the end)
    // moves CurrentY down one line and CurrentX back to 0.
    Q_INVOKABLE void Print(const QString& text = {});
    // style 0 line, 1 box ("B"), 2 filled box ("BF"). No colour: ForeColor.
    Q_INVOKABLE void Line(double x1, double y1, double x2, double y2, const QVariant& color = {},
                          int style = 0);
    Q_INVOKABLE void PSet(double x, double y, const QVariant& color = {});
    Q_INVOKABLE double TextWidth(const QString& text) const;
    Q_INVOKABLE double TextHeight(const QString& text) const;

    // Paints on the drawing directly, in pixels of the inner area.
    void paintOnDrawing(const std::function<void(QPainter&)>& painter);

    // No back colour: what lies behind the box shows wherever its picture, drawing and children
    // leave room (the box of an animated picture, whose transparent pixels show the frame).
    void setSeeThrough(bool on);
    bool seeThrough() const { return seeThrough_; }

protected:
    CanvasControl(Control* container, const QString& name, detail::ControlWidget* widget,
                  detail::ControlWidget* client);

    void paint(QWidget* widget, QPainter& painter) override;
    void paintClient(QPainter& painter) const;

private:
    QImage& drawing();
    QColor colorArgument(const QVariant& color) const;

    quint32 backColor_ = color::ButtonFace;
    quint32 foreColor_ = color::ButtonText;
    Picture picture_;
    QImage drawing_;
    bool autoRedraw_ = false;
    double currentX_ = 0;
    double currentY_ = 0;
    int drawWidth_ = 1;
    bool seeThrough_ = false;
    bool fontTransparent_ = true;
    ClassicFont font_;
};

// A top-level window.
// A form's WindowState.
namespace windowState {
constexpr int Normal = 0, Minimized = 1, Maximized = 2;
} // namespace windowState

class Form : public CanvasControl, public NamedMembers {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int WindowState READ windowState WRITE setWindowState)
    Q_PROPERTY(bool KeyPreview READ keyPreview WRITE setKeyPreview)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)

public:
    explicit Form(const QString& name, QObject* owner = nullptr);
    ~Form() override;

    QString caption() const;
    void setCaption(const QString& caption);
    // One of windowState::.
    int windowState() const;
    void setWindowState(int state); // other values: VbError 380
    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on) { keyPreview_ = on; }
    // 0 none (no frame, no caption), 1 fixed single, 2 sizable, 3 fixed dialog, 4 and 5 tool
    // windows.
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

    bool isLoaded() const { return loaded_; }
    // Raises Load the first time (Show does it too).
    void load();
    // Raises QueryUnload and Unload (mode: 0 closed by the user, 1 by code) and hides the window
    // unless a handler cancelled; false when cancelled.
    bool unload(int mode = 1);

    // Loads if needed, then shows and activates the window. Modal (1): returns when the form is
    // hidden again.
    Q_INVOKABLE void Show(int modal = 0);
    Q_INVOKABLE void Hide();

    // Sizes the window so that its inner area (ScaleWidth x ScaleHeight) is width x height, in
    // the form's scale units.
    void setInnerSize(double width, double height);

    // Shows the inner area as a picture of `pixels` scaled to fit the window, keeping its aspect
    // ratio with black bars, sharp when the factor is whole and smooth otherwise. Controls keep
    // their coordinates in the picture and the pointer is mapped back through the scale. Once
    // staged a form stays staged; a new size replaces the old one.
    void setStageSize(QSize pixels);
    // Empty when the form is not staged.
    QSize stageSize() const;
    // Window pixels per picture pixel (1 when not staged).
    double stageScale() const;
    // Where the picture lies in the window, in the window's pixels.
    QRect stageRect() const;
    // Full screen: a borderless window over the whole screen it is on. Off: a normal window.
    void setFullScreen(bool on);
    bool isFullScreen() const;
    // The screen the window is on (the primary screen before it is shown), in pixels.
    QRect screenGeometry() const;

    // Whether opening the window writes "window NAME|CAPTION" to the event log (windows of the
    // player that a walkthrough may wait for: the welcome window, dialogs).
    void setLoggedWhenShown(bool logged) { loggedWhenShown_ = logged; }

    // A menu bar along the top of the window; the inner area (ScaleHeight) is what it leaves.
    void setMenuBar(QMenuBar* menuBar);
    QMenuBar* menuBar() const;

    bool isVisible() const override;
    void setVisible(bool visible) override;
    QRect pixelGeometry() const override;
    void setPixelGeometry(const QRect& rect) override;

    // Scripts reach the form's controls by name: its child controls, and objects registered
    // here (control sets and timers that are not widgets).
    void addNamedMember(const QString& name, QObject* object);
    QObject* namedMember(const QString& name) const override;

    // How a modal Show waits; the default runs the Qt event loop until done() is true.
    using ModalWaiter = std::function<void(const std::function<bool()>& done)>;
    static void setModalWaiter(ModalWaiter waiter);
    static ModalWaiter modalWaiter();

    // Stays above the windows of every program while on. BorderStyle rebuilds the window's
    // frame without it: set it afterwards.
    bool isTopmost() const;
    void setTopmost(bool on);
    // Lets the user move the window with the left button, which has just been pressed at
    // `grabbed` (pixels of the inner area): as a press on a title bar does, when the window
    // system moves windows itself, otherwise the window follows the pointer until the button is
    // let go.
    void startMove(QPoint grabbed);

signals:
    void Load();
    void Activate();
    void Deactivate();
    void QueryUnload(int& cancel, int unloadMode);
    void Unload(int& cancel);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void KeyPress(int ascii);

protected:
    bool widgetEvent(QWidget* widget, QEvent* event) override;
    void layoutClient() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handleKey(QKeyEvent* event);
    int menuHeight() const;
    // Whether a key offered to `target` is one for this form, and whether it is the first offer.
    bool ownsKeyTarget(const QWidget* target) const;
    // Whether the form takes, at `target`, a key that the widget of a run-time component (a
    // WidgetControl's) with the focus left alone.
    bool takesKeyLeftByComponent(QWidget* focus, QWidget* target) const;

    bool keyPreview_ = false;
    bool loaded_ = false;
    bool loggedWhenShown_ = true;
    int borderStyle_ = 2;
    QPointer<QObject> menuBar_;                      // a QMenuBar
    QPointer<QWidget> stage_;                        // a detail::Stage, once staged
    QHash<QString, QPointer<QObject>> namedMembers_; // by lower-cased name
};

// The classic Image control: shows a picture, stretched to the control or (without Stretch)
// at its own size, which the control then takes.
class ImageBox : public Control {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)
    Q_PROPERTY(tv::Picture Picture READ picture WRITE setPicture)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)

public:
    explicit ImageBox(Control* container, const QString& name = {});

    bool stretch() const { return stretch_; }
    void setStretch(bool on);
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

protected:
    void paint(QWidget* widget, QPainter& painter) override;

private:
    void fitToPicture();

    bool stretch_ = false;
    Picture picture_;
    int borderStyle_ = 0;
};

class Label : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int BackStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool UseMnemonic READ useMnemonic WRITE setUseMnemonic)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontUnderline READ fontUnderline WRITE setFontUnderline)
    Q_PROPERTY(bool FontStrikethru READ fontStrikethru WRITE setFontStrikethru)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    explicit Label(Control* container, const QString& name = {});

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // 0 left, 1 right, 2 centre. An auto-sized label keeps its left edge, right edge or centre.
    int alignment() const { return alignment_; }
    void setAlignment(int alignment);
    // 0 transparent, 1 opaque.
    int backStyle() const { return backStyle_; }
    void setBackStyle(int style);
    quint32 backColor() const { return backColor_; }
    void setBackColor(quint32 color);
    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    // "&x" underlines x and "&&" shows one ampersand.
    bool useMnemonic() const { return useMnemonic_; }
    void setUseMnemonic(bool on);

    const ClassicFont& font() const { return font_; }
    void setFont(const ClassicFont& font);
    QString fontName() const { return font_.name; }
    void setFontName(const QString& name);
    double fontSize() const { return font_.size; }
    void setFontSize(double size); // not positive: VbError 380
    bool fontBold() const { return font_.bold; }
    void setFontBold(bool on);
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on);
    bool fontUnderline() const { return font_.underline; }
    void setFontUnderline(bool on);
    bool fontStrikethru() const { return font_.strikethru; }
    void setFontStrikethru(bool on);

    // With AutoSize: off, the label grows sideways to its longest line; on, it keeps its width
    // and grows downwards. Without AutoSize the text wraps inside the label.
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    void setPixelGeometry(const QRect& rect) override;

protected:
    void paint(QWidget* widget, QPainter& painter) override;

private:
    int textFlags() const;
    QString displayText() const;
    void fitToText();

    QString caption_;
    int alignment_ = 0;
    int backStyle_ = 1;
    quint32 backColor_ = color::ButtonFace;
    quint32 foreColor_ = color::ButtonText;
    int borderStyle_ = 0;
    bool useMnemonic_ = true;
    ClassicFont font_;
    bool wordWrap_ = false;
    bool autoSize_ = false;
    bool fitting_ = false;
};

// The classic PictureBox: a canvas control inside a container, with an optional 3D border.
// Unlike the classic control it starts borderless, as every surface of the player is.
class PictureBox : public CanvasControl {
    Q_OBJECT
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    explicit PictureBox(Control* container, const QString& name = {});

    // 0 none, 1 fixed single (a 2-pixel sunken border around the inner area).
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    // Sizes the box to its picture whenever the picture changes.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    void setPixelGeometry(const QRect& rect) override;
    void setPicture(const Picture& picture) override;

protected:
    void paint(QWidget* widget, QPainter& painter) override;
    void layoutClient() override;

private:
    int borderWidth() const { return borderStyle_ == 1 ? 2 : 0; }

    int borderStyle_ = 0;
    bool autoSize_ = false;
};

// The classic Frame: a captioned container whose children are measured from its outer corner.
class FrameBox : public ContainerControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)

public:
    explicit FrameBox(Control* container, const QString& name = {});

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // 0 none, 1 fixed single.
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    quint32 backColor() const { return backColor_; }
    void setBackColor(quint32 color);
    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    QString fontName() const { return font_.name; }
    void setFontName(const QString& name);
    double fontSize() const { return font_.size; }
    void setFontSize(double size);
    bool fontBold() const { return font_.bold; }
    void setFontBold(bool on);
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on);

    // A frame has no scale of its own: its children use its container's.
    double twipsPerUnitX() const override;
    double twipsPerUnitY() const override;

protected:
    void paint(QWidget* widget, QPainter& painter) override;

private:
    QString caption_;
    int borderStyle_ = 1;
    quint32 backColor_ = color::ButtonFace;
    quint32 foreColor_ = color::ButtonText;
    ClassicFont font_;
};

// Any other widget placed in a container as a control (components, players): it gets Name,
// Container, position, size, visibility and pointer like the built-in controls. The widget is
// owned by the control from now on.
class WidgetControl : public Control {
    Q_OBJECT
    Q_PROPERTY(QObject* Object READ object)

public:
    WidgetControl(Control* container, const QString& name, QWidget* inner);

    QWidget* inner() const;
    QObject* object() const;
    void setPixelGeometry(const QRect& rect) override;

    // A run-time component's control: the keys its widget leaves alone go to the form, as the
    // window's shortcuts must work whatever component has the focus.
    bool passesKeysOn() const { return passesKeysOn_; }
    void setPassesKeysOn(bool on) { passesKeysOn_ = on; }

private:
    QPointer<QObject> inner_; // a QWidget
    bool passesKeysOn_ = false;
};

// The classic CheckBox: a box with a caption beside it. Value 0 unticked, 1 ticked, 2 greyed (a
// tick drawn in grey). A left click on it ticks an unticked or greyed box and clears a ticked one;
// Click follows every change of Value, made by the user or by code.
class CheckBox : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize)
    Q_PROPERTY(bool FontBold READ fontBold WRITE setFontBold)
    Q_PROPERTY(bool FontItalic READ fontItalic WRITE setFontItalic)

public:
    explicit CheckBox(Control* container, const QString& name = {});

    // The box's side in pixels; it stands vertically centred at one end of the control.
    static constexpr int kBoxSize = 13;

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    int value() const { return value_; }
    void setValue(int value); // outside 0 ... 2: VbError 380
    int alignment() const { return alignment_; }
    void setAlignment(int alignment); // 0 box on the left, 1 box on the right
    quint32 backColor() const { return backColor_; }
    void setBackColor(quint32 color);
    quint32 foreColor() const { return foreColor_; }
    void setForeColor(quint32 color);
    QString fontName() const { return font_.name; }
    void setFontName(const QString& name);
    double fontSize() const { return font_.size; }
    void setFontSize(double size); // not positive: VbError 380
    bool fontBold() const { return font_.bold; }
    void setFontBold(bool on);
    bool fontItalic() const { return font_.italic; }
    void setFontItalic(bool on);

protected:
    bool widgetEvent(QWidget* widget, QEvent* event) override;
    void paint(QWidget* widget, QPainter& painter) override;

private:
    QString caption_;
    int value_ = 0;
    int alignment_ = 0;
    quint32 backColor_ = color::ButtonFace;
    quint32 foreColor_ = color::ButtonText;
    ClassicFont font_;
    bool pressed_ = false;
};

} // namespace tv
