#include "platform/control_set.h"

#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QMetaProperty>

namespace tv {

namespace {

constexpr int kMaxIndex = 32767;

bool skippedProperty(const char* name) {
    static const char* const skipped[] = {"objectName", "Name", "Index", "Visible", "Container",
                                          "Parent",     "Left", "Top",   "Width",   "Height"};
    for (const char* s : skipped)
        if (qstrcmp(name, s) == 0) return true;
    return false;
}

} // namespace

void copyControlProperties(const QObject& from, QObject& to) {
    const QMetaObject* meta = from.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isReadable() || !property.isWritable() || skippedProperty(property.name()))
            continue;
        to.setProperty(property.name(), property.read(&from));
    }
    const auto* source = qobject_cast<const Control*>(&from);
    if (auto* target = qobject_cast<Control*>(&to); source && target)
        target->setPixelGeometry(source->pixelGeometry());
}

ControlSetBase::ControlSetBase(QObject* element0, QObject* parent) : QObject(parent) {
    if (!element0) return;
    name_ = element0->objectName();
    attach(element0, 0);
}

ControlSetBase::~ControlSetBase() {
    // The set owns the elements it loaded; the template belongs to its container.
    for (auto& [index, element] : elements_) {
        if (index == 0 || !element) continue;
        if (auto* control = qobject_cast<Control*>(element.data()))
            control->dispose();
        else
            delete element.data();
    }
}

int ControlSetBase::count() const {
    return int(indices().size());
}

int ControlSetBase::lbound() const {
    const auto all = indices();
    return all.empty() ? -1 : all.front();
}

int ControlSetBase::ubound() const {
    const auto all = indices();
    return all.empty() ? -1 : all.back();
}

bool ControlSetBase::exists(int index) const {
    return element(index) != nullptr;
}

std::vector<int> ControlSetBase::indices() const {
    std::vector<int> result;
    for (const auto& [index, element] : elements_)
        if (element && !(qobject_cast<Control*>(element.data()) &&
                         static_cast<Control*>(element.data())->isDisposed()))
            result.push_back(index);
    return result;
}

QObject* ControlSetBase::element(int index) const {
    const auto it = elements_.find(index);
    if (it == elements_.end() || !it->second) return nullptr;
    if (auto* control = qobject_cast<Control*>(it->second.data()); control && control->isDisposed())
        return nullptr;
    return it->second;
}

QObject* ControlSetBase::Item(int index) const {
    QObject* e = element(index);
    if (!e) throw vbError(err::ControlArrayElementDoesNotExist);
    return e;
}

QVariantList ControlSetBase::NewEnum() const {
    QVariantList elements;
    for (int index : indices())
        elements.append(QVariant::fromValue(element(index)));
    return elements;
}

void ControlSetBase::Load(int index) {
    if (index < 0 || index > kMaxIndex) throw vbError(err::ControlArrayElementDoesNotExist);
    if (exists(index)) throw vbError(err::ObjectAlreadyLoaded);
    QObject* templ = element(0);
    if (!templ) throw vbError(err::ControlArrayElementDoesNotExist);

    QObject* created = createElement(templ);
    if (auto* control = qobject_cast<Control*>(created)) control->setVisible(false);
    copyControlProperties(*templ, *created);
    setElementIndex(created, index);
    attach(created, index);
    emit Loaded(index);
}

void ControlSetBase::Unload(int index) {
    if (index == 0 && exists(0)) throw vbError(err::CannotUnloadDesignTimeControl);
    QObject* e = element(index);
    if (!e) throw vbError(err::ControlArrayElementDoesNotExist);
    elements_.erase(index);
    if (auto* control = qobject_cast<Control*>(e))
        control->dispose();
    else
        e->deleteLater();
}

void ControlSetBase::addHook(std::function<void(QObject*, int)> hook) {
    for (int index : indices())
        hook(element(index), index);
    hooks_.push_back(std::move(hook));
}

namespace {
constexpr const char* kSetProperty = "tv_controlSet";
} // namespace

ControlSetBase* controlSetOf(const QObject* element) {
    return element
               ? qobject_cast<ControlSetBase*>(element->property(kSetProperty).value<QObject*>())
               : nullptr;
}

bool loadControlReference(QObject* object) {
    try {
        if (auto* form = qobject_cast<Form*>(object)) {
            form->load();
            return true;
        }
        if (ControlSetBase* set = controlSetOf(object)) {
            set->Load(object->property("Index").toInt());
            return true;
        }
    } catch (const VbError&) {
    }
    return false;
}

bool unloadControlReference(QObject* object) {
    try {
        if (auto* form = qobject_cast<Form*>(object)) return form->unload(1);
        if (ControlSetBase* set = controlSetOf(object)) {
            set->Unload(object->property("Index").toInt());
            return true;
        }
    } catch (const VbError&) {
    }
    return false;
}

void ControlSetBase::attach(QObject* element, int index) {
    elements_[index] = element;
    element->setProperty(kSetProperty, QVariant::fromValue<QObject*>(this));
    if (auto* control = qobject_cast<Control*>(element)) {
        // The index travels with the element, so these stay right whatever happens to others.
        const QPointer<Control> c(control);
        connect(control, &Control::MouseDown, this,
                [this, c](int button, int shift, double x, double y) {
                    if (c) emit MouseDown(c->index(), button, shift, x, y);
                });
        connect(control, &Control::MouseMove, this,
                [this, c](int button, int shift, double x, double y) {
                    if (c) emit MouseMove(c->index(), button, shift, x, y);
                });
        connect(control, &Control::MouseUp, this,
                [this, c](int button, int shift, double x, double y) {
                    if (c) emit MouseUp(c->index(), button, shift, x, y);
                });
        connect(control, &Control::Click, this, [this, c] {
            if (c) emit Click(c->index());
        });
        connect(control, &Control::DblClick, this, [this, c] {
            if (c) emit DblClick(c->index());
        });
        connect(control, &Control::DragDrop, this, [this, c](Control* source, double x, double y) {
            if (c) emit DragDrop(c->index(), source, x, y);
        });
        connect(control, &Control::DragOver, this,
                [this, c](Control* source, double x, double y, int state) {
                    if (c) emit DragOver(c->index(), source, x, y, state);
                });
    }
    for (const auto& hook : hooks_)
        hook(element, index);
}

} // namespace tv
