#include "platform/control_inputs.h"

#include "platform/core/errors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
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

ListBox::ListBox(Control* container, const QString& name)
    : WidgetControl(container, name, new QListWidget) {
    list()->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list(), &QListWidget::currentRowChanged, this, [this] { emit Click(); });
    QObject::connect(list(), &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

QListWidget* ListBox::list() const {
    return static_cast<QListWidget*>(inner());
}

int ListBox::listCount() const {
    return list()->count();
}

int ListBox::listIndex() const {
    return list()->currentRow();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= list()->count()) throw vbError(err::InvalidPropertyValue);
    list()->setCurrentRow(index);
}

QString ListBox::text() const {
    const int row = list()->currentRow();
    return row < 0 ? QString() : list()->item(row)->text();
}

void ListBox::AddItem(const QString& item, int index) {
    if (index < -1 || index > list()->count()) throw vbError(err::InvalidCall);
    list()->insertItem(index < 0 ? list()->count() : index, item);
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= list()->count()) throw vbError(err::InvalidCall);
    delete list()->takeItem(index);
}

void ListBox::Clear() {
    list()->clear();
}

QString ListBox::List(int index) const {
    if (index < 0 || index >= list()->count()) throw vbError(err::SubscriptOutOfRange);
    return list()->item(index)->text();
}

TextBox::TextBox(Control* container, const QString& name)
    : WidgetControl(container, name, new QLineEdit) {
    QObject::connect(field(), &QLineEdit::textChanged, this, [this] { emit Change(); });
}

QLineEdit* TextBox::field() const {
    return static_cast<QLineEdit*>(inner());
}

QString TextBox::text() const {
    return field()->text();
}

void TextBox::setText(const QString& text) {
    field()->setText(text);
}

void TextBox::SetFocus() {
    field()->setFocus(Qt::TabFocusReason);
    field()->selectAll();
}

} // namespace tv
