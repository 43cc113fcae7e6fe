#include "platform/menu.h"

#include "platform/controls.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tv {

namespace {
QMenuBar* barOf(Form& form) {
    QMenuBar* bar = form.menuBar();
    if (!bar) {
        bar = new QMenuBar;
        bar->hide();
        form.setMenuBar(bar);
    }
    return bar;
}
} // namespace

MenuItem::MenuItem(Form& form, const QString& name, const QString& caption)
    : QObject(&form), form_(&form) {
    setObjectName(name);
    QMenuBar* bar = barOf(form);
    action_ = new QAction(caption, bar);
    bar->addAction(action_);
    connect(action_, &QAction::triggered, this, &MenuItem::chosen);
    updateBar();
}

MenuItem::MenuItem(MenuItem& parent, const QString& name, const QString& caption)
    : QObject(&parent), form_(parent.form_), parent_(&parent) {
    setObjectName(name);
    QMenu* menu = parent.ensureMenu();
    action_ = new QAction(caption, menu);
    menu->addAction(action_);
    parent.items_.append(this);
    connect(action_, &QAction::triggered, this, &MenuItem::chosen);
}

MenuItem::~MenuItem() {
    // Items go with their menu (they are its children): they must not reach back to it then.
    for (MenuItem* item : std::as_const(items_))
        item->parent_ = nullptr;
    if (parent_) parent_->items_.removeAll(this);
}

QMenu* MenuItem::ensureMenu() {
    if (!menu_) {
        menu_ = new QMenu(action_->text(), qobject_cast<QWidget*>(action_->parent()));
        action_->setMenu(menu_);
        // A menu that opens gives its Click, as the classic runtime does.
        connect(menu_, &QMenu::aboutToShow, this, [this] { emit Click(); });
    }
    return menu_;
}

QString MenuItem::caption() const {
    return action_->text();
}

void MenuItem::setCaption(const QString& caption) {
    action_->setText(caption);
    if (menu_) menu_->setTitle(caption);
}

bool MenuItem::isVisible() const {
    return action_->isVisible();
}

void MenuItem::setVisible(bool visible) {
    action_->setVisible(visible);
    updateBar();
}

void MenuItem::chosen() {
    // The check mark is the program's to set, not the click's.
    if (action_->isCheckable()) action_->setChecked(checked_);
    emit Click();
}

bool MenuItem::isChecked() const {
    return checked_;
}

void MenuItem::setChecked(bool checked) {
    checked_ = checked;
    action_->setCheckable(true);
    action_->setChecked(checked);
}

bool MenuItem::isEnabled() const {
    return action_->isEnabled();
}

void MenuItem::setEnabled(bool enabled) {
    action_->setEnabled(enabled);
}

bool MenuItem::hasItems() const {
    return !items_.isEmpty();
}

void MenuItem::choose() {
    if (!isEnabled()) return;
    if (!hasItems()) {
        action_->trigger();
        return;
    }
    QMenu* menu = ensureMenu();
    QObject* anchor = action_->parent();
    QPoint at;
    if (auto* bar = qobject_cast<QMenuBar*>(anchor))
        at = bar->mapToGlobal(bar->actionGeometry(action_).bottomLeft());
    menu->popup(at);
}

void MenuItem::close() {
    if (menu_) menu_->hide();
}

bool MenuItem::isOpen() const {
    return menu_ && menu_->isVisible();
}

void MenuItem::updateBar() {
    if (parent_ || !form_) return;
    QMenuBar* bar = form_->menuBar();
    if (!bar) return;
    bool any = false;
    for (QAction* a : bar->actions())
        any = any || a->isVisible();
    bar->setVisible(any);
}

} // namespace tv
