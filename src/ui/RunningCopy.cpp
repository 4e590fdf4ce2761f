#include "RunningCopy.h"

#include "DataFiles.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <signal.h>

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>

namespace {

constexpr char kShowRequest[] = "show\n";

// Why the lock file could not be made, from the errno the failed step left.
// Fixed English texts: the C library's would follow the user's locale.
std::string LockFailureReason(QLockFile::LockError error, int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "the folder is not there";
        case ENOTDIR:
            return "not a folder";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EROFS:
            return "read-only file system";
        case ENOSPC:
        case EDQUOT:
            return "disk full";
        case 0:
            return error == QLockFile::PermissionError ? "permission denied" : "unknown error";
        default:
            return "error " + std::to_string(errorNumber);
    }
}

}  // namespace

RunningCopy::RunningCopy(const std::filesystem::path& workDir, std::ostream& log,
                         std::chrono::milliseconds patience)
    : workDir_(workDir),
      log_(log),
      patience_(patience),
      serverName_(ServerName(workDir)),
      lock_(QString::fromStdString((workDir / datafiles::kLock).string())) {
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

RunningCopy::Outcome RunningCopy::Acquire() {
    QDeadlineTimer deadline(patience_);
    bool removedIncomplete = false;
    for (;;) {
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
        if (AskToShow()) {
            return Outcome::AnotherCopyRuns;
        }
        const std::optional<qint64> owner = LockOwner();
        // QLockFile removes a lock whose owner is gone, unless the folder
        // forbids it; such a lock must not keep the program from running.
        if (owner && ::kill(static_cast<pid_t>(*owner), 0) != 0 && errno == ESRCH) {
            Notice(
                "cannot lock the working folder (a lock left by a copy that ended cannot be "
                "removed); a second copy would not be noticed");
            return Outcome::Unguarded;
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

void RunningCopy::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A copy that was killed left its socket file; the lock says it is gone.
    QLocalServer::removeServer(serverName_);
    if (!server_->listen(serverName_)) {
        Notice("cannot answer later starts (" + server_->errorString().toStdString() +
               "); they end without showing the window");
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, &RunningCopy::AnswerStarts);
}

void RunningCopy::AnswerStarts() {
    while (QLocalSocket* start = server_->nextPendingConnection()) {
        connect(start, &QLocalSocket::disconnected, start, &QObject::deleteLater);
        const auto readRequest = [this, start] {
            if (!start->canReadLine()) {
                return;
            }
            if (start->readLine() == kShowRequest) {
                emit ShowRequested();
            }
            start->disconnectFromServer();
        };
        connect(start, &QLocalSocket::readyRead, this, readRequest);
        readRequest();  // the request may have come with the connection
    }
}

bool RunningCopy::AskToShow() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(250)) {
        return false;
    }
    socket.write(kShowRequest);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(1000)) {
            return false;
        }
    }
    socket.disconnectFromServer();
    return true;
}

std::optional<qint64> RunningCopy::LockOwner() const {
    qint64 owner = 0;
    QString host;
    QString program;
    if (!lock_.getLockInfo(&owner, &host, &program)) {
        return std::nullopt;
    }
    return owner;
}

void RunningCopy::Notice(const std::string& text) {
    log_ << "vimo: notice: " << text << std::endl;
}
