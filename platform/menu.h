#pragma once
// Menus of the classic forms runtime: a form's menu bar holds top-level menus, a menu holds
// items. Each is a QObject with the classic properties (Caption, Visible, Checked, Enabled) and
// a Click event: an item's Click when it is chosen, a menu's when it opens. The menu bar shows
// while at least one of its menus is visible, as in the classic runtime.

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;

namespace tv {

class Form;

class MenuItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)

public:
    // A menu of the form's menu bar.
    MenuItem(Form& form, const QString& name, const QString& caption);
    // An item of `parent` (which becomes a menu that opens).
    MenuItem(MenuItem& parent, const QString& name, const QString& caption);
    ~MenuItem() override;

    QString name() const { return objectName(); }
    QString caption() const;
    void setCaption(const QString& caption);
    bool isVisible() const;
    void setVisible(bool visible);
    bool isChecked() const;
    void setChecked(bool checked);
    bool isEnabled() const;
    void setEnabled(bool enabled);

    // Whether it holds items of its own (it opens instead of being chosen).
    bool hasItems() const;
    MenuItem* parentItem() const { return parent_; }
    // Chooses the item, or opens the menu, as a click on it would.
    void choose();
    // Closes the menu if it is open.
    void close();
    bool isOpen() const;

signals:
    void Click();

private:
    void chosen();
    void updateBar();
    QMenu* ensureMenu();

    QPointer<Form> form_;
    MenuItem* parent_ = nullptr;
    QList<MenuItem*> items_;
    QAction* action_ = nullptr;
    QPointer<QMenu> menu_;
    bool checked_ = false;
};

} // namespace tv
