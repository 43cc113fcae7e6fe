#include "components/component_library.h"

#include "platform/component_host.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"
#include "platform/core/files.h"
#include "platform/core/settings_store.h"
#include "sdk/torvane_component.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tv {

namespace {

constexpr const char* kProgIdGroup = "ProgIDs";
constexpr const char* kPermissionApp = "Torvane Player";
constexpr const char* kPermissionSection = "Native Components";

// What the registration worker shares with the window thread; it outlives a worker that did
// not finish in time.
struct Registration {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    QStringList progIds;
};

void addProgId(void* context, const char* progId) {
    auto* r = static_cast<Registration*>(context);
    if (!progId) return;
    const std::lock_guard<std::mutex> lock(r->mutex);
    if (!r->done) r->progIds << QString::fromUtf8(progId);
}

QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

// Libraries are skipped or refused with a line in the event log, so that an author sees why
// a control is missing.
void logSkipped(const QString& file, const QString& why) {
    EventLog::instance().write("component skipped " + QFileInfo(file).fileName() + " (" + why +
                               ")");
}

} // namespace

LibraryKind libraryKind(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return LibraryKind::Missing;
    const QByteArray head = file.read(4);
    if (head.startsWith("MZ")) return LibraryKind::Windows;
    if (head == QByteArray("\x7f"
                           "ELF",
                           4))
        return LibraryKind::Elf;
    return LibraryKind::Other;
}

ComponentLibraries& ComponentLibraries::instance() {
    static ComponentLibraries libraries;
    return libraries;
}

ComponentLibraries::ComponentLibraries()
    : registryPath_(defaultRegistryPath()), shipped_(defaultShippedLibraries()),
      shippedFolders_(defaultShippedFolders()) {}

ComponentLibraries::~ComponentLibraries() = default;

QString ComponentLibraries::defaultRegistryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/torvane-player/components.ini";
}

QList<ShippedLibrary> ComponentLibraries::defaultShippedLibraries() {
    return {{"libTNPanoramaPlugin_ID7.so",
             "TNPanoramaPlugin_ID7.ocx",
             {"TNPanoramaControl.MainControl_ID7", "TNPanoramaControl.EventMonitor_ID7"}}};
}

QStringList ComponentLibraries::defaultShippedFolders() {
    if (!QCoreApplication::instance()) return {};
    const QString bin = QCoreApplication::applicationDirPath();
    return {bin, bin + "/../lib/torvane-player", bin + "/../lib"};
}

void ComponentLibraries::setShipped(const QList<ShippedLibrary>& libraries,
                                    const QStringList& folders) {
    shipped_ = libraries;
    shippedFolders_ = folders;
}

QString ComponentLibraries::shippedPath(const ShippedLibrary& library) const {
    for (const QString& folder : shippedFolders_) {
        const QString path = folder + '/' + library.fileName;
        if (QFileInfo(path).isFile()) return canonical(path);
    }
    return {};
}

bool ComponentLibraries::isShipped(const QString& path) const {
    const QString wanted = canonical(path);
    for (const ShippedLibrary& library : shipped_)
        if (shippedPath(library) == wanted) return true;
    return false;
}

bool ComponentLibraries::insideGame(const QString& path) const {
    if (gameFolder_.isEmpty()) return false;
    const QString folder = canonical(gameFolder_) + '/';
    return canonical(path).startsWith(folder);
}

bool ComponentLibraries::nativeComponentsAllowed() {
    if (allowedForRun_) return true;
    if (gameFolder_.isEmpty()) return false;
    const QString key = QString::fromLatin1(QUrl::toPercentEncoding(canonical(gameFolder_), "/ "));
    SettingsStore store;
    const QString known = store.get(kPermissionApp, kPermissionSection, key);
    if (!known.isEmpty()) return known == "1";
    DialogService& dialogs = DialogService::instance();
    const int answer = dialogs.msgBox(
        "This game comes with native components: program code that runs with all your rights "
        "on this computer.\r\n\r\nOnly allow them if you trust where the game came from.\r\n\r\n"
        "Allow native components for this game?",
        mb::YesNo | mb::Exclamation | mb::DefaultButton2, "Native components");
    const bool allowed = answer == mb::Yes;
    // An automated run took the default answer: nobody decided, so nothing is remembered.
    if (!dialogs.automated()) {
        try {
            store.save(kPermissionApp, kPermissionSection, key, allowed ? "1" : "0");
        } catch (const VbError&) {
            // Unremembered, the question comes again next time.
        }
    }
    return allowed;
}

void ComponentLibraries::RegisterControlLibraries(const QString& folder) {
    QStringList names;
    for (const char* pattern : {"*.ocx", "*.dll", "*.so"})
        names << files::listFolder(folder, QString::fromLatin1(pattern));
    names.sort(Qt::CaseInsensitive);
    const QString base = files::resolve(folder);
    for (const QString& name : names)
        RegisterControlLibrary(base + '/' + name);
}

bool ComponentLibraries::RegisterControlLibrary(const QString& path) {
    switch (libraryKind(path)) {
    case LibraryKind::Missing:
        return false;
    case LibraryKind::Windows: {
        logSkipped(path, "Windows library");
        const QString name = QFileInfo(path).fileName();
        for (const ShippedLibrary& library : shipped_)
            if (library.windowsFileName.compare(name, Qt::CaseInsensitive) == 0 &&
                !shippedPath(library).isEmpty())
                return true;
        return false;
    }
    case LibraryKind::Other:
        logSkipped(path, "not a library");
        return false;
    case LibraryKind::Elf:
        break;
    }
    if (!isShipped(path) && !nativeComponentsAllowed()) {
        logSkipped(path, "native components not allowed");
        return false;
    }
    return RunLibraryEntryPoint(path, false);
}

namespace {
// Libraries whose registration thread may still run in them: they stay loaded for good, and
// are kept here so that they are known to be kept rather than lost.
void keepLoaded(std::unique_ptr<QLibrary> library) {
    static std::mutex mutex;
    static std::vector<std::unique_ptr<QLibrary>>* kept =
        new std::vector<std::unique_ptr<QLibrary>>;
    const std::lock_guard<std::mutex> lock(mutex);
    kept->push_back(std::move(library));
}
} // namespace

bool ComponentLibraries::RunLibraryEntryPoint(const QString& path, bool unregister) {
    if (!QFileInfo(path).isFile()) return false;
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load()) return false;
    const auto entry =
        reinterpret_cast<TvRegisterComponentsFn>(library->resolve(TV_COMPONENT_REGISTER_SYMBOL));
    if (!entry) {
        library->unload();
        return false;
    }
    auto shared = std::make_shared<Registration>();
    try {
        std::thread([shared, entry] {
            entry(&addProgId, shared.get());
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->done = true;
            shared->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        keepLoaded(std::move(library)); // nothing says whether it was touched
        return false;
    }
    QStringList progIds;
    {
        std::unique_lock<std::mutex> lock(shared->mutex);
        const bool done = shared->finished.wait_for(
            lock, std::chrono::milliseconds(registrationLimitMs_), [&] { return shared->done; });
        if (!done) {
            // The worker may still run in the library: it must stay loaded, and anything it
            // names from now on is ignored.
            shared->done = true;
            keepLoaded(std::move(library));
            return false;
        }
        progIds = shared->progIds;
    }
    library->unload();

    QSettings registry(registryPath_, QSettings::IniFormat);
    registry.beginGroup(kProgIdGroup);
    const QStringList keys = registry.childKeys();
    for (const QString& progId : progIds) {
        for (const QString& key : keys)
            if (key.compare(progId, Qt::CaseInsensitive) == 0) registry.remove(key);
        if (!unregister) registry.setValue(progId, canonical(path));
    }
    registry.endGroup();
    registry.sync();
    return true;
}

QString ComponentLibraries::libraryFor(const QString& progId) const {
    for (const ShippedLibrary& library : shipped_)
        for (const QString& id : library.progIds)
            if (id.compare(progId, Qt::CaseInsensitive) == 0) {
                const QString path = shippedPath(library);
                if (!path.isEmpty()) return path;
            }
    QSettings registry(registryPath_, QSettings::IniFormat);
    registry.beginGroup(kProgIdGroup);
    for (const QString& key : registry.childKeys())
        if (key.compare(progId, Qt::CaseInsensitive) == 0) return registry.value(key).toString();
    return {};
}

const TvComponentLibrary* ComponentLibraries::load(const QString& path, QString& problem) {
    // Asked at every use, so that a library loaded for one game is not used by another.
    if (!isShipped(path)) {
        if (!insideGame(path)) {
            // Registered by another game: that game's permission does not reach this one.
            logSkipped(path, "not part of this game");
            problem = "the library belongs to another game";
            return nullptr;
        }
        if (!nativeComponentsAllowed()) {
            logSkipped(path, "native components not allowed");
            problem = "native components are not allowed for this game";
            return nullptr;
        }
    }
    std::shared_ptr<QLibrary>& library = loaded_[path];
    if (!library) {
        auto made = std::make_shared<QLibrary>(path);
        if (libraryKind(path) != LibraryKind::Elf || !made->load()) {
            problem =
                libraryKind(path) == LibraryKind::Elf
                    ? made->errorString()
                    : QStringLiteral("the library is missing or not a library for this system");
            loaded_.remove(path);
            return nullptr;
        }
        library = made;
    }
    const auto factory =
        reinterpret_cast<TvComponentLibraryFn>(library->resolve(TV_COMPONENT_LIBRARY_SYMBOL));
    const TvComponentLibrary* table = factory ? factory() : nullptr;
    if (!table || !table->create) {
        problem = "the library makes no controls";
        return nullptr;
    }
    if (table->abiVersion != TV_COMPONENT_ABI_VERSION ||
        table->qtMajorVersion != static_cast<uint32_t>(QT_VERSION_MAJOR)) {
        problem = "the library was built for another version of the player";
        return nullptr;
    }
    return table;
}

QWidget* ComponentLibraries::create(const QString& progId, QWidget* container) {
    const QString path = libraryFor(progId);
    if (path.isEmpty()) throw vbError(err::CannotCreateObject);
    QString problem;
    const TvComponentLibrary* table = load(path, problem);
    if (!table)
        throw vbError(err::CannotCreateObject,
                      classicErrorDescription(err::CannotCreateObject) + " (" + problem + ")");
    ComponentHost::publish();
    QWidget* widget = table->create(progId.toUtf8().constData(), container);
    if (!widget) throw vbError(err::CannotCreateObject);
    return widget;
}

} // namespace tv
