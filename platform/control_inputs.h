#pragma once
// Controls for the player's own dialogs: the classic CommandButton, ComboBox, ListBox and TextBox,
// on Qt's push button, combo box, list and line edit so that they look and behave as the
// desktop's do.

#include "platform/controls.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tv {

// A push button; Click on a press and release over it (or Space while it has the focus).
class CommandButton : public WidgetControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)

public:
    explicit CommandButton(Control* container, const QString& name = {});

    QString caption() const;
    void setCaption(const QString& caption);
    // The button Return presses in its window.
    bool isDefault() const;
    void setDefault(bool on);

signals:
    void Click();

private:
    QPushButton* button() const;
};

// A drop-down list with a text field (style 0 of the classic control): Text is what the field
// holds, whether typed or chosen from the list.
class ComboBox : public WidgetControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int ListCount READ listCount)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)

public:
    explicit ComboBox(Control* container, const QString& name = {});

    QString text() const;
    void setText(const QString& text);
    int listCount() const;
    // -1 when the text is none of the entries.
    int listIndex() const;
    void setListIndex(int index); // outside -1 ... ListCount - 1: VbError 380
    Q_INVOKABLE void AddItem(const QString& item);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QString List(int index) const; // outside the list: VbError 381
    // Puts the focus in the text field with its text selected, as tabbing into it does, so that
    // typing replaces it.
    Q_INVOKABLE void SetFocus();

signals:
    void Click(); // an entry was chosen

private:
    QComboBox* box() const;
};

// A list of text entries, one selected at most. ListIndex -1: none selected.
class ListBox : public WidgetControl {
    Q_OBJECT
    Q_PROPERTY(int ListCount READ listCount)
    Q_PROPERTY(int ListIndex READ listIndex WRITE setListIndex)
    Q_PROPERTY(QString Text READ text)

public:
    explicit ListBox(Control* container, const QString& name = {});

    int listCount() const;
    int listIndex() const;
    void setListIndex(int index); // outside -1 ... ListCount - 1: VbError 380
    // The selected entry's text ("" when none).
    QString text() const;
    // Adds at `index` (-1: at the end); outside 0 ... ListCount: VbError 5.
    Q_INVOKABLE void AddItem(const QString& item, int index = -1);
    Q_INVOKABLE void RemoveItem(int index); // outside the list: VbError 5
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QString List(int index) const; // outside the list: VbError 381

signals:
    void Click(); // the selection changed, by the user or by code
    void DblClick();

private:
    QListWidget* list() const;
};

// A one-line text field.
class TextBox : public WidgetControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    explicit TextBox(Control* container, const QString& name = {});

    QString text() const;
    void setText(const QString& text);
    // Puts the focus in the field with its text selected, so that typing replaces it.
    Q_INVOKABLE void SetFocus();

signals:
    void Change();

private:
    QLineEdit* field() const;
};

} // namespace tv
