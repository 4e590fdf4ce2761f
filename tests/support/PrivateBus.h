#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A message bus of the tests' own: a dbus-daemon listening on a socket in a
// temporary folder, with nothing activated and every name free to own.
// Started() tells whether it runs; Error() says what went wrong if not.
class PrivateBus {
  public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Started() const { return !address_.isEmpty(); }
    QString Error() const { return error_; }
    QString Address() const { return address_; }

  private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
};

// The python3 that can import `modules` (e.g. "dbus, gi"): the one first on
// the PATH, or the system's, which Debian's packages install into; empty when
// neither can.
QString PythonWith(const QString& modules);
