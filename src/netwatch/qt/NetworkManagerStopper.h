#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <string>

#include "ConnectionStopper.h"

class QDBusMessage;

// Stops connections through NetworkManager, over the given bus (the
// program's is the system bus): finds the device that carries the
// interface's IP traffic, reads the connection active on it and deactivates
// that. Every call is asynchronous; a daemon that gives no answer within
// `replyDeadline` counts as not there. A request still on its way when the
// stopper goes is dropped, its `done` not called.
class NetworkManagerStopper : public QObject, public ConnectionStopper {
    Q_OBJECT

  public:
    // As long as the bus's own default: the daemon may be busy taking the
    // connection down.
    static constexpr std::chrono::milliseconds kReplyDeadline{25000};

    explicit NetworkManagerStopper(QDBusConnection bus, QObject* parent = nullptr,
                                   std::chrono::milliseconds replyDeadline = kReplyDeadline);

    void StopConnectionOn(const std::string& interface,
                          std::function<void(const StopResult&)> done) override;

  private:
    using Done = std::function<void(const StopResult&)>;

    void DeactivateOn(const QString& interface, const QString& device, const Done& done);
    void Deactivate(const QString& activeConnection, const Done& done);
    // Calls `onReply` with the daemon's answer, or `done` with its error.
    void Ask(const QDBusMessage& call, const Done& done,
             std::function<void(const QDBusMessage&)> onReply);
    // Calls `done` from the event loop, as an answer would come.
    void Later(const Done& done, StopResult result);

    QDBusConnection bus_;
    std::chrono::milliseconds replyDeadline_;
};
