#pragma once
// The save dialog frmSaveGame (name box, the saves, SAVE, Cancel, Remove Selected) and the load
// dialog frmLoadGame (the saves, LOAD, Cancel). Both show the chosen save's picture of its
// frame and its date beside the list.

#include <QObject>
#include <QString>

namespace tv {

class CommandButton;
class Form;
class ImageBox;
class Label;
class ListBox;
class SavedGames;
class TextBox;

class SavedGameDialog : public QObject {
    Q_OBJECT
public:
    enum class Kind { Save, Load };

    SavedGameDialog(Kind kind, SavedGames& games);
    ~SavedGameDialog() override;

    Kind kind() const { return kind_; }
    Form& window() { return *window_; }
    // Lists the saves of the folder, oldest first, and shows nothing as chosen.
    void fillList();
    // The name chosen in the list ("" when none).
    QString selected() const;

private:
    void showChosen();
    void pressMain();

    Kind kind_;
    SavedGames& games_;
    Form* window_ = nullptr;
    Label* prompt_ = nullptr;
    TextBox* Text1_ = nullptr;
    ListBox* List1_ = nullptr;
    CommandButton* main_ = nullptr;
    CommandButton* cancel_ = nullptr;
    CommandButton* remove_ = nullptr;
    ImageBox* thumbnail_ = nullptr;
    Label* date_ = nullptr;
};

} // namespace tv
