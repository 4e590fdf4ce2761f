#pragma once

#include "SocketFolder.h"
#include "core/Errors.h"
#include "system/ProgramLock.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

class LocalListener;

// Something other than a regular file at the lock file's name: it cannot tell
// whether a copy runs in the folder.
class ELockFileError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "ELockFileError"; }
};

// One running copy of the program per working folder. The copy holding the
// lock file "Vimo.lock" in the folder listens on a local socket named after
// the folder, in a socket folder only this user can enter; a later start
// there asks it to show its window and ends instead of counting the same
// connections a second time.
//
// A lock is stale when the process that took it is gone, however old the
// file is (the program runs for months, and under a faked clock in tests),
// and when it was taken on another boot or on another computer; it is taken
// over unless a live process still holds the file's native lock, as a copy
// on another computer sharing the folder does. A lock file cut short before
// its owner's line is taken over after a wait. Where the folder cannot be
// locked at all the program still runs, as it must in a read-only folder or
// on a full disk, and `log` gets one notice line. A folder, a FIFO, a link or
// a socket at the lock file's name throws ELockFileError: the program must not
// run unguarded beside a copy it cannot see.
class RunningCopy : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        FirstCopy,        // the lock is this copy's; later starts are answered
        AnotherCopyRuns,  // the copy holding the lock was asked to show itself
        Unguarded,        // the folder cannot be locked; the notice says why
    };

    // `workDir` is absolute. The socket goes in the folder ChooseSocketFolder
    // picks from `sockets`; where none can be used, later starts cannot be
    // answered and the first copy says so once. A copy that is still starting
    // does not answer at once, so a later start keeps asking for `patience`
    // before it ends.
    RunningCopy(const std::filesystem::path& workDir, const SocketPlaces& sockets,
                std::ostream& log = std::cerr,
                std::chrono::milliseconds patience = std::chrono::seconds(2));
    ~RunningCopy() override;

    // Takes the folder's lock, or asks the copy holding it to show itself,
    // handing it `activationToken`, the desktop's token of this start (empty:
    // none). A stale lock is taken over; one that cannot be removed (a
    // read-only folder) leaves the folder unguarded. Throws ELockFileError.
    Outcome Acquire(const QString& activationToken = {});

    // The local socket's name for a working folder: the same for every
    // spelling of one folder, different for different folders, and short.
    static QString ServerName(const std::filesystem::path& workDir);

  signals:
    // A later start in the same folder asked this copy to show its window,
    // with the desktop's token of that start; empty when it brought none or
    // one that is not a plain short text.
    void ShowRequested(const QString& activationToken);

  private:
    enum class Takeover {
        Removed,        // the stale lock is gone; the next try takes the lock
        Retry,          // another start removes it, or took the lock anew
        HeldElsewhere,  // a live process holds it: a copy on another computer
        Impossible,     // it cannot be removed (a read-only folder)
    };

    void RefuseIrregularLockFiles() const;
    Takeover TakeOverStaleLock();
    void Listen();
    void AnswerStarts();
    bool AskToShow(const QString& activationToken) const;
    void Notice(const std::string& text);

    std::filesystem::path workDir_;
    std::filesystem::path lockPath_;
    std::ostream& log_;
    std::chrono::milliseconds patience_;
    SocketFolder socketFolder_;
    QString socketPath_;  // empty without a socket folder
    MachineIds here_;
    QLockFile lock_;
    std::unique_ptr<LocalListener> listener_;
};
