#pragma once
// Control libraries on Linux: which library offers a ProgID, their registration, the user's
// permission for native code that came with a game, and the making of controls.
//
// A ProgID is found first among the libraries the player ships (known without registration,
// under the ProgIDs projects made on Windows use), then in the per-user component registry
// (ProgID -> library path, an INI file under the XDG data folder). A library that is not shipped
// is code from a download: it is loaded only from the folder of the game being played, and only
// when the player allowed that game native components (asked once per game folder, remembered
// in the per-user settings).

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class QLibrary;
class QWidget;
struct TvComponentLibrary;

namespace tv {

// A library the player ships: its file here, the Windows file projects carry for it in
// "CPData", and the ProgIDs it offers.
struct ShippedLibrary {
    QString fileName;
    QString windowsFileName;
    QStringList progIds;
};

class ComponentLibraries {
public:
    static ComponentLibraries& instance();
    ComponentLibraries();
    ~ComponentLibraries();

    // $XDG_DATA_HOME (else ~/.local/share) + "/torvane-player/components.ini".
    static QString defaultRegistryPath();
    // The panorama library.
    static QList<ShippedLibrary> defaultShippedLibraries();
    // Beside the program, and its install's library folders.
    static QStringList defaultShippedFolders();

    // For tests: another registry file, other shipped libraries and folders, a shorter wait.
    void setRegistryPath(const QString& path) { registryPath_ = path; }
    void setShipped(const QList<ShippedLibrary>& libraries, const QStringList& folders);
    void setRegistrationLimitMs(int ms) { registrationLimitMs_ = ms; }

    // The game whose permission counts (its root folder), and a permission given for this run
    // (`run --allow-native-components`).
    void setGameFolder(const QString& root) { gameFolder_ = root; }
    void setNativeAllowedForRun(bool allowed) { allowedForRun_ = allowed; }
    // Whether the game allows native components; asks the player once when that is not known
    // (automated runs take the default No and do not remember it).
    bool nativeComponentsAllowed();

    // Registers every control library (".ocx", ".dll", ".so") of the folder, in name order.
    void RegisterControlLibraries(const QString& folder);
    // True when the library's ProgIDs are known afterwards. A Windows library is skipped (it
    // counts when the player ships a library of that name); a native one needs permission and
    // has its registration entry point run on a worker thread, waited for a bounded time.
    bool RegisterControlLibrary(const QString& path);
    // Runs the registration entry point and records (or, with `unregister`, forgets) the
    // library's ProgIDs. False when the file is missing, does not load, lacks the entry point or
    // does not finish in time (the library then stays loaded: the worker may still use it).
    bool RunLibraryEntryPoint(const QString& path, bool unregister);

    // The library file that offers the ProgID (compared without case), or empty.
    QString libraryFor(const QString& progId) const;
    // A new control of the ProgID with `container` as its parent; raises a VbError (429) when
    // no library offers it, the library may not or cannot be loaded, or it makes nothing.
    QWidget* create(const QString& progId, QWidget* container);

    // The shipped library's file when it is present, or empty.
    QString shippedPath(const ShippedLibrary& library) const;
    bool isShipped(const QString& path) const;

private:
    // Whether the file lies in the game's folder.
    bool insideGame(const QString& path) const;
    const TvComponentLibrary* load(const QString& path, QString& problem);

    QString registryPath_;
    QList<ShippedLibrary> shipped_;
    QStringList shippedFolders_;
    int registrationLimitMs_ = 10000;
    QString gameFolder_;
    bool allowedForRun_ = false;
    // Libraries loaded for making controls stay loaded while the program runs: their controls
    // may live anywhere.
    QHash<QString, std::shared_ptr<QLibrary>> loaded_;
};

// The first bytes of a file tell a Windows library ("MZ") from an ELF one.
enum class LibraryKind { Missing, Windows, Elf, Other };
LibraryKind libraryKind(const QString& path);

} // namespace tv
