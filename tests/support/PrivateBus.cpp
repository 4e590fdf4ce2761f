#include "PrivateBus.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

namespace {

const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

constexpr int kStartMs = 5000;

}  // namespace

PrivateBus::PrivateBus() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon is missing; install the dbus-daemon package");
        return;
    }
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!dir_.isValid() || !file.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("cannot write ") + config;
        return;
    }
    file.write(QString::fromLatin1(kBusConfig).arg(dir_.filePath(QStringLiteral("bus"))).toUtf8());
    file.close();
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.start(program, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                            QStringLiteral("--print-address")});
    QByteArray printed;
    const QDeadlineTimer deadline(kStartMs);
    while (!printed.contains('\n') && !deadline.hasExpired() &&
           daemon_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        printed += daemon_.readAllStandardOutput();
    }
    address_ = QString::fromUtf8(printed).trimmed();
    if (address_.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon printed no address");
    }
}

PrivateBus::~PrivateBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(kStartMs)) {
            daemon_.kill();
            daemon_.waitForFinished(kStartMs);
        }
    }
}

QString PythonWith(const QString& modules) {
    for (const QString& candidate :
         {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ") + modules});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0) {
            return candidate;
        }
    }
    return {};
}
