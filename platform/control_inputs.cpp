#include "platform/control_inputs.h"

#include "platform/core/errors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace tv {

CommandButton::CommandButton(Control* container, const QString& name)
    : WidgetControl(container, name, new QPushButton) {
    QObject::connect(button(), &QPushButton::clicked, this, &CommandButton::Click);
}

QPushButton* CommandButton::button() const {
    return static_cast<QPushButton*>(inner());
}

QString CommandButton::caption() const {
    return button()->text();
}

void CommandButton::setCaption(const QString& caption) {
    button()->setText(caption);
}

bool CommandButton::isDefault() const {
    return button()->isDefault();
}

void CommandButton::setDefault(bool on) {
    button()->setDefault(on);
}

ComboBox::ComboBox(Control* container, const QString& name)
    : WidgetControl(container, name, new QComboBox) {
    box()->setEditable(true);
    box()->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(box(), &QComboBox::activated, this, [this](int) { emit Click(); });
}

QComboBox* ComboBox::box() const {
    return static_cast<QComboBox*>(inner());
}

QString ComboBox::text() const {
    return box()->currentText();
}

void ComboBox::setText(const QString& text) {
    box()->setEditText(text);
}

int ComboBox::listCount() const {
    return box()->count();
}

int ComboBox::listIndex() const {
    return box()->findText(box()->currentText(), Qt::MatchExactly);
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= box()->count()) throw vbError(err::InvalidPropertyValue);
    if (index < 0)
        box()->setEditText(QString());
    else
        box()->setCurrentIndex(index);
}

void ComboBox::AddItem(const QString& item) {
    // Adding keeps the text the field holds.
    const QString kept = box()->currentText();
    box()->addItem(item);
    box()->setEditText(kept);
}

void ComboBox::Clear() {
    box()->clear();
}

void ComboBox::SetFocus() {
    box()->setFocus(Qt::TabFocusReason);
    if (QLineEdit* field = box()->lineEdit()) field->selectAll();
}

QString ComboBox::List(int index) const {
    if (index < 0 || index >= box()->count()) throw vbError(err::SubscriptOutOfRange);
    return box()->itemText(index);
}

} // namespace tv
