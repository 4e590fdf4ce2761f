#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <chrono>
#include <memory>
#include <vector>

// The python3 that can import `imports` ("dbusmock", "dbus, gi"): the one
// first on the PATH, or the system's, which Debian's packages install into;
// empty when neither can.
QString PythonWith(const QString& imports);

// A dbus-daemon of the test's own, listening on a socket in a temporary
// folder, with python-dbusmock's templates run on it: nothing reaches the
// machine's buses. Start, StartMock and CallMock fail the test (call them
// under ASSERT_NO_FATAL_FAILURE); a missing dbus-daemon or python-dbusmock
// fails it too, as make deps installs both.
class PrivateBus {
  public:
    static constexpr std::chrono::milliseconds kDeadline{5000};

    PrivateBus() = default;
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    ~PrivateBus();

    void Start();
    // A connection of its own under `name`, dropped with the bus.
    QDBusConnection Connect(const QString& name);
    const QString& Address() const { return address_; }

    // Runs the template, which owns `service`, and waits until it has the
    // name; extra arguments (e.g. "--parameters") follow the template's.
    void StartMock(const QString& templateName, const QString& service,
                   const QStringList& extra = {});
    // Kills the mock as a crash would.
    void StopMock();
    // A method of org.freedesktop.DBus.Mock on the mock's object `path`; the
    // answer goes to `reply` when given. An error answer fails the test.
    void CallMock(const QString& path, const QString& method, const QVariantList& arguments,
                  QDBusMessage* reply = nullptr);

    // The arguments of each call of `method` on the mock's object `path`, from
    // the mock's log, asked over `via`: over the connection that made the
    // calls, every call sent before is in it.
    std::vector<QVariantList> MockCalls(const QString& path, const QString& method,
                                        const QDBusConnection& via);

  private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString python_;
    QString service_;
    QStringList connections_;
    // The tests' own line to the mock.
    QDBusConnection driver_{QString()};
    std::unique_ptr<QProcess> mock_;
};
