// Watches the gesture configuration file in use and reports each change once it has
// settled, so an edit takes effect without the reload command.
//
// Editors save in different ways: some rewrite the file in place (several writes in a
// row), others write a new file and rename it over the old one, which ends the watch on
// the old file. So the file's folder is watched too, the file is watched again whenever
// it reappears, and a change is reported only when the file's identity (inode, size,
// modification time) differs from the last one reported, a short while after the last
// event.
#pragma once

#include <functional>
#include <string>

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace zorvexa {

class ConfigFileWatcher : public QObject {
  public:
    ConfigFileWatcher(std::string path, std::function<void()> onChange, int settleMs = 300);

    const std::string& path() const { return path_; }

  private:
    void onEvent();
    void settle();
    std::string signature() const;

    std::string path_;
    std::function<void()> onChange_;
    QFileSystemWatcher watcher_;
    QTimer settleTimer_;
    std::string reported_;
};

} // namespace zorvexa
