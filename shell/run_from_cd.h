#pragma once
// The drive dialog of games on several CDs: asks the player to insert a disc, lists the drives
// and keeps the chosen drive's letter for the game.

#include <QObject>
#include <QString>

namespace tv {

class CommandButton;
class ComboBox;
class Form;
class Label;

class RunFromCd : public QObject {
    Q_OBJECT
public:
    RunFromCd();
    ~RunFromCd() override;

    // Shows the dialog modally with `message` and the drive box preset to `drive` ("E:\").
    // Returns when the player has chosen a drive that exists (kept as the game's drive letter)
    // or cancelled (the quitting flag is set then); false when the wait ended unanswered
    // because the program is ending.
    bool ask(const QString& message, const QString& drive);

    Form& window() { return *window_; }

private:
    void fillDrives(const QString& drive);
    void ok();
    void cancel();

    Form* window_ = nullptr;
    Label* message_ = nullptr;
    Label* lblDrive_ = nullptr;
    ComboBox* Combo1_ = nullptr;
    CommandButton* ok_ = nullptr;
    CommandButton* cancel_ = nullptr;
};

} // namespace tv
