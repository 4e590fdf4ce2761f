#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>

class QLocalServer;

// One running copy of the program per working folder. The copy holding the
// lock file "Vimo.lock" in the folder listens on a local socket named after
// the folder; a later start there asks it to show its window and ends
// instead of counting the same connections a second time.
//
// The lock is stale only when the process that took it is gone, however old
// the file is: the program runs for months, and under a faked clock in tests.
// A lock file cut short before its owner's line is taken over after a wait.
// Where the folder cannot be locked at all the program still runs, as it must
// in a read-only folder or on a full disk, and `log` gets one notice line.
class RunningCopy : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        FirstCopy,        // the lock is this copy's; later starts are answered
        AnotherCopyRuns,  // the copy holding the lock was asked to show itself
        Unguarded,        // the folder cannot be locked; the notice says why
    };

    // `workDir` is absolute. A copy that is still starting does not answer at
    // once, so a later start keeps asking for `patience` before it ends.
    explicit RunningCopy(const std::filesystem::path& workDir, std::ostream& log = std::cerr,
                         std::chrono::milliseconds patience = std::chrono::seconds(2));
    ~RunningCopy() override;

    // Takes the folder's lock, or asks the copy holding it to show itself.
    // A lock whose owner is gone is taken over; one that cannot be removed
    // (a read-only folder) leaves the folder unguarded.
    Outcome Acquire();

    // The local server's name for a working folder: the same for every
    // spelling of one folder, different for different folders.
    static QString ServerName(const std::filesystem::path& workDir);

  signals:
    // A later start in the same folder asked this copy to show its window.
    void ShowRequested();

  private:
    void Listen();
    void AnswerStarts();
    bool AskToShow() const;
    // The process named in the lock file; nullopt while it has no such line.
    std::optional<qint64> LockOwner() const;
    void Notice(const std::string& text);

    std::filesystem::path workDir_;
    std::ostream& log_;
    std::chrono::milliseconds patience_;
    QString serverName_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};
