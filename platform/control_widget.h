#pragma once
// The Qt widget behind a control: it hands every event to its control, which paints and turns
// mouse input into the classic events. Internal to the forms runtime.

#include <QWidget>

namespace tv {
class Control;
}

namespace tv::detail {

class ControlWidget : public QWidget {
public:
    explicit ControlWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    Control* owner() const { return owner_; }
    // Events reach the control from when it has been constructed far enough to take them...
    void bind(Control* owner) { owner_ = owner; }
    // ... until it goes away.
    void detach() { owner_ = nullptr; }

protected:
    bool event(QEvent* event) override;

private:
    Control* owner_ = nullptr;
};

} // namespace tv::detail
