#include "main/shell/ui/ConfigFileWatcher.h"

#include <sys/stat.h>

#include <QFileInfo>

namespace zorvexa {

ConfigFileWatcher::ConfigFileWatcher(std::string path, std::function<void()> onChange, int settleMs)
    : path_(std::move(path)), onChange_(std::move(onChange)) {
    const QString file = QString::fromStdString(path_);
    watcher_.addPath(QFileInfo(file).absolutePath());
    watcher_.addPath(file);
    reported_ = signature();
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(settleMs);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { settle(); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { onEvent(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { onEvent(); });
}

void ConfigFileWatcher::onEvent() {
    settleTimer_.start(); // restarted by every event of a save in several steps
}

void ConfigFileWatcher::settle() {
    const QString file = QString::fromStdString(path_);
    // A file replaced by a rename is a new file: the watch on the old one has ended.
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
    const std::string now = signature();
    if (now.empty() || now == reported_)
        return; // gone (the rename has not happened yet) or unchanged
    reported_ = now;
    if (onChange_)
        onChange_();
}

std::string ConfigFileWatcher::signature() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0)
        return {};
    return std::to_string(info.st_ino) + ':' + std::to_string(info.st_size) + ':' +
           std::to_string(info.st_mtim.tv_sec) + '.' + std::to_string(info.st_mtim.tv_nsec);
}

} // namespace zorvexa
