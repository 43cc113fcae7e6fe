#pragma once
// Indexed control sets (the classic control arrays). Element 0 is the design-time template; Load
// creates element i as a copy of the template's properties (hidden), Unload removes it again.
//
// Events: the set repeats the mouse events of every element, the ones loaded later included,
// with the element's index in front (MouseDown(index, button, shift, x, y), Click(index), ...),
// so the owner connects once. For other signals of the element type, connectEach() runs a
// function for every element now and for every element loaded later:
//
//     ControlSet<ImageBox> area(new ImageBox(pictureBox, "Area"));
//     QObject::connect(&area, &ControlSetBase::MouseDown, game, &Game::areaMouseDown);
//     area.connectEach([](ImageBox& e, int index) { /* connect e's own signals */ });
//
// Element types: any QObject class T with a constructor T(container, name), where container is
// what T::container() returns. Elements that are Controls also get their Index and are hidden.

#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

#include <functional>
#include <map>
#include <vector>

namespace tv {

class ControlSetBase : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(int LBound READ lbound)
    Q_PROPERTY(int UBound READ ubound)

public:
    ~ControlSetBase() override;

    // The name shared by all elements (the template's).
    QString name() const { return name_; }
    int count() const;
    // The lowest and highest loaded index; -1 when the set is empty.
    int lbound() const;
    int ubound() const;
    bool exists(int index) const;
    // Loaded indices, in increasing order.
    std::vector<int> indices() const;
    // The element, or nullptr when it is not loaded.
    QObject* element(int index) const;

    // The element; VbError 340 when it is not loaded.
    Q_INVOKABLE QObject* Item(int index) const;
    // The loaded elements in index order, for For Each.
    Q_INVOKABLE QVariantList NewEnum() const;
    // Creates element index as a hidden copy of the template. VbError 360 when it exists,
    // 340 for an index outside 0 ... 32767 or when the template is gone.
    Q_INVOKABLE void Load(int index);
    // Removes element index (at once, or as soon as its own event handler returns). VbError 362
    // for the template, 340 when it is not loaded.
    Q_INVOKABLE void Unload(int index);

signals:
    void MouseDown(int index, int button, int shift, double x, double y);
    void MouseMove(int index, int button, int shift, double x, double y);
    void MouseUp(int index, int button, int shift, double x, double y);
    void Click(int index);
    void DblClick(int index);
    void DragDrop(int index, tv::Control* source, double x, double y);
    void DragOver(int index, tv::Control* source, double x, double y, int state);
    // After element index was created and its properties copied.
    void Loaded(int index);

protected:
    ControlSetBase(QObject* element0, QObject* parent);

    virtual QObject* createElement(QObject* element0) = 0;
    virtual void setElementIndex(QObject* element, int index) = 0;
    void addHook(std::function<void(QObject*, int)> hook);

private:
    void attach(QObject* element, int index);

    QString name_;
    std::map<int, QPointer<QObject>> elements_;
    std::vector<std::function<void(QObject*, int)>> hooks_;
};

// Copies the template's writable properties to a new element, all but Name, Index, Visible and
// Container; a Control's position and size are copied in pixels after the rest.
void copyControlProperties(const QObject& from, QObject& to);

// The set an element belongs to, or nullptr for a control of its own.
ControlSetBase* controlSetOf(const QObject* element);

// The classic Load and Unload statements on a reference held by a script: a form is loaded or
// unloaded; an element of a control set is loaded (which fails: it exists already) or unloaded
// from its set. False when the operation fails or does not apply.
bool loadControlReference(QObject* object);
bool unloadControlReference(QObject* object);

template <class T> class ControlSet : public ControlSetBase {
public:
    explicit ControlSet(T* element0, QObject* parent = nullptr) : ControlSetBase(element0, parent) {
        if (element0) setElementIndex(element0, 0);
    }

    T* find(int index) const { return static_cast<T*>(element(index)); }
    T& at(int index) const {
        T* e = find(index);
        if (!e) throw vbError(err::ControlArrayElementDoesNotExist);
        return *e;
    }
    T& operator()(int index) const { return at(index); }

    // Runs fn(element, index) for every loaded element now and for each one loaded later.
    void connectEach(std::function<void(T&, int)> fn) {
        addHook([fn](QObject* e, int index) { fn(*static_cast<T*>(e), index); });
    }

    // Iteration in index order over the loaded elements (unload through indices(), not here).
    class iterator {
    public:
        iterator(const ControlSet* set, std::vector<int> indices, std::size_t pos)
            : set_(set), indices_(std::move(indices)), pos_(pos) {}
        T& operator*() const { return set_->at(indices_[pos_]); }
        iterator& operator++() {
            ++pos_;
            return *this;
        }
        bool operator!=(const iterator& other) const { return pos_ != other.pos_; }

    private:
        const ControlSet* set_;
        std::vector<int> indices_;
        std::size_t pos_;
    };
    iterator begin() const { return iterator(this, indices(), 0); }
    iterator end() const { return iterator(this, {}, indices().size()); }

protected:
    QObject* createElement(QObject* element0) override {
        T* templ = static_cast<T*>(element0);
        return new T(templ->container(), templ->objectName());
    }
    void setElementIndex(QObject* element, int index) override {
        if constexpr (requires(T * t) { t->setIndex(index); })
            static_cast<T*>(element)->setIndex(index);
    }
};

} // namespace tv
