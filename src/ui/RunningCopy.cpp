#include "RunningCopy.h"

#include "SystemErrorText.h"
#include "core/DataFiles.h"
#include "system/LocalSocket.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

// A later start sends "show" alone, as older copies do, or "show " and its
// activation token, on one line.
constexpr char kShow[] = "show";
constexpr char kShowWithToken[] = "show ";

// The desktops' tokens are short plain texts: a startup id names a host, a
// program and a time, an xdg-activation token is a random string. Anything
// else is not handed on to the desktop.
constexpr qsizetype kLongestToken = 512;
constexpr qsizetype kLongestRequest =
    qsizetype(std::string_view(kShowWithToken).size()) + kLongestToken + 1;

bool IsPlainToken(QByteArrayView token) {
    return !token.isEmpty() && token.size() <= kLongestToken &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

QByteArray ShowRequest(const QString& activationToken) {
    const QByteArray token = activationToken.toUtf8();
    return IsPlainToken(token) ? kShowWithToken + token + '\n' : QByteArray(kShow) + '\n';
}

// The token of a request to show, empty when it brings none that may be
// used; nothing when the line asks something else. A line cut at
// kLongestRequest brought a token too long.
std::optional<QString> RequestedToken(QByteArray line) {
    const bool whole = line.endsWith('\n');
    if (whole) {
        line.chop(1);
    }
    if (line == kShow) {
        return QString();
    }
    if (!line.startsWith(kShowWithToken)) {
        return std::nullopt;
    }
    const QByteArray token = line.mid(qsizetype(std::string_view(kShowWithToken).size()));
    return whole && IsPlainToken(token) ? QString::fromLatin1(token) : QString();
}

// The file QLockFile takes while it removes a stale lock, so that two
// starts never remove each other's new one; taking it over is done under it.
constexpr char kRemovalGuardSuffix[] = ".rmlock";

// Why the lock file could not be made, from the errno the failed step left.
std::string LockFailureReason(QLockFile::LockError error, int errorNumber) {
    if (errorNumber == 0 && error == QLockFile::PermissionError) {
        return SystemErrorText(EACCES);
    }
    return SystemErrorText(errorNumber);
}

}  // namespace

RunningCopy::RunningCopy(const std::filesystem::path& workDir, const SocketPlaces& sockets,
                         std::ostream& log, std::chrono::milliseconds patience)
    : workDir_(workDir),
      lockPath_(workDir / datafiles::kLock),
      log_(log),
      patience_(patience),
      socketFolder_(ChooseSocketFolder(sockets, ::geteuid(),
                                       static_cast<std::size_t>(ServerName(workDir).size()))),
      here_(ThisMachine()),
      lock_(QString::fromStdString(lockPath_.string())) {
    if (!socketFolder_.Path.empty()) {
        socketPath_ = QString::fromStdString(
            (socketFolder_.Path / ServerName(workDir).toStdString()).string());
    }
    lock_.setStaleLockTime(0);
}

// The lock file goes when the lock does, and the server's socket file with
// the server.
RunningCopy::~RunningCopy() = default;

QString RunningCopy::ServerName(const std::filesystem::path& workDir) {
    std::error_code unresolved;
    std::filesystem::path folder = std::filesystem::weakly_canonical(workDir, unresolved);
    if (unresolved) {
        folder = workDir.lexically_normal();
    }
    // Without a trailing separator, so "/data/" and "/data" are one folder.
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256);
    // A short name: the socket's path must fit the system's limit.
    return QStringLiteral("vimo-") + QString::fromLatin1(digest.toHex().left(24));
}

RunningCopy::Outcome RunningCopy::Acquire(const QString& activationToken) {
    QDeadlineTimer deadline(patience_);
    bool removedIncomplete = false;
    for (;;) {
        RefuseIrregularLockFiles();
        errno = 0;
        if (lock_.tryLock(0)) {
            Listen();
            return Outcome::FirstCopy;
        }
        const int failure = errno;
        if (lock_.error() != QLockFile::LockFailedError) {
            Notice("cannot lock the working folder (" + LockFailureReason(lock_.error(), failure) +
                   "); a second copy would not be noticed");
            return Outcome::Unguarded;
        }
        if (AskToShow(activationToken)) {
            return Outcome::AnotherCopyRuns;
        }
        const std::optional<LockOwner> owner = ReadLockFile(lockPath_);
        if (owner && !LockOwnerRuns(*owner, here_)) {
            switch (TakeOverStaleLock()) {
                case Takeover::Removed:
                    continue;
                case Takeover::Retry:
                    break;
                case Takeover::HeldElsewhere:
                    Notice("the lock in " + workDir_.string() + " is held by a copy on " +
                           (owner->Host.empty() ? "another computer" : owner->Host) +
                           "; this start ends");
                    return Outcome::AnotherCopyRuns;
                case Takeover::Impossible:
                    // Such a lock must not keep the program from running.
                    Notice(
                        "cannot lock the working folder (a lock left by a copy that ended cannot "
                        "be removed); a second copy would not be noticed");
                    return Outcome::Unguarded;
            }
        }
        if (deadline.hasExpired()) {
            if (owner) {
                Notice("the copy running in " + workDir_.string() +
                       " did not answer; this start ends");
                return Outcome::AnotherCopyRuns;
            }
            if (removedIncomplete) {
                Notice(
                    "cannot lock the working folder (an incomplete lock file cannot be "
                    "removed); a second copy would not be noticed");
                return Outcome::Unguarded;
            }
            // A copy writes its line right after making the file; a file
            // still without it was cut short by a kill or a power cut. Its
            // removal is refused while a live copy holds the file.
            lock_.removeStaleLockFile();
            removedIncomplete = true;
            deadline.setRemainingTime(patience_);
            continue;
        }
        QThread::msleep(100);
    }
}

void RunningCopy::RefuseIrregularLockFiles() const {
    const std::string lockName(datafiles::kLock);
    for (const std::string& name : {lockName, lockName + kRemovalGuardSuffix}) {
        struct stat st {};
        // Not followed: a link is refused whatever it points to. Reading a
        // FIFO's owner line would wait for ever.
        if (::lstat((workDir_ / name).c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            throw ELockFileError(name +
                                 " is not a plain file; remove it so that Vimo can tell whether it "
                                 "already runs here");
        }
    }
}

RunningCopy::Takeover RunningCopy::TakeOverStaleLock() {
    QLockFile guard(lock_.fileName() + QLatin1String(kRemovalGuardSuffix));
    if (!guard.tryLock(0)) {
        return guard.error() == QLockFile::LockFailedError ? Takeover::Retry : Takeover::Impossible;
    }
    // Read again under the guard: another start may have taken the lock anew.
    const std::optional<LockOwner> owner = ReadLockFile(lockPath_);
    if (!owner || LockOwnerRuns(*owner, here_)) {
        return Takeover::Retry;
    }
    // QLockFile removes the file only with its native lock, which a live
    // holder keeps, wherever it runs.
    if (lock_.removeStaleLockFile()) {
        return Takeover::Removed;
    }
    return LockFileHeld(lockPath_) ? Takeover::HeldElsewhere : Takeover::Impossible;
}

void RunningCopy::Listen() {
    if (socketPath_.isEmpty()) {
        Notice("cannot answer later starts (" + socketFolder_.Problem +
               "); they end without showing the window");
        return;
    }
    listener_ = std::make_unique<LocalListener>();
    if (const int failure = listener_->Listen(socketPath_.toStdString())) {
        listener_.reset();
        Notice("cannot answer later starts (" + socketPath_.toStdString() + ": " +
               SystemErrorText(failure) + "); they end without showing the window");
        return;
    }
    auto* waiting = new QSocketNotifier(listener_->Descriptor(), QSocketNotifier::Read, this);
    connect(waiting, &QSocketNotifier::activated, this, &RunningCopy::AnswerStarts);
}

void RunningCopy::AnswerStarts() {
    for (UniqueFd start = listener_->Accept(); start.Valid(); start = listener_->Accept()) {
        struct Request {
            UniqueFd From;
            std::string Line;
        };
        // The notifier goes before the descriptor it watches: the request
        // lives as long as the notifier's connection.
        auto request = std::make_shared<Request>(Request{std::move(start), {}});
        auto* readable = new QSocketNotifier(request->From.Get(), QSocketNotifier::Read, this);
        const auto readRequest = [this, request, readable] {
            const bool open = ReadAvailable(request->From.Get(), request->Line,
                                            static_cast<std::size_t>(kLongestRequest));
            const std::size_t end = request->Line.find('\n');
            const bool whole = end != std::string::npos ||
                               request->Line.size() >= static_cast<std::size_t>(kLongestRequest);
            if (open && !whole) {
                return;
            }
            // A start that hung up before its line was whole asked nothing.
            if (whole) {
                const std::string line =
                    request->Line.substr(0, end == std::string::npos ? end : end + 1);
                if (const std::optional<QString> token =
                        RequestedToken(QByteArray::fromStdString(line))) {
                    emit ShowRequested(*token);
                }
            }
            readable->setEnabled(false);
            readable->deleteLater();
        };
        connect(readable, &QSocketNotifier::activated, this, readRequest);
        readRequest();  // the request may have come with the connection
    }
}

bool RunningCopy::AskToShow(const QString& activationToken) const {
    return !socketPath_.isEmpty() &&
           SendLocalLine(socketPath_.toStdString(), ShowRequest(activationToken).toStdString(),
                         std::chrono::milliseconds(250));
}

void RunningCopy::Notice(const std::string& text) {
    log_ << "vimo: notice: " << text << std::endl;
}
