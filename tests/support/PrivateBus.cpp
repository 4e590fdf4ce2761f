#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// Nothing is activated and everyone may own any name.
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

int Milliseconds(std::chrono::milliseconds span) {
    return static_cast<int>(span.count());
}

}  // namespace

QString PythonWith(const QString& imports) {
    for (const QString& candidate :
         {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ") + imports});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0) {
            return candidate;
        }
    }
    return {};
}

PrivateBus::~PrivateBus() {
    StopMock();
    for (const QString& name : connections_) {
        QDBusConnection::disconnectFromBus(name);
    }
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(Milliseconds(kDeadline))) {
            daemon_.kill();
            daemon_.waitForFinished(Milliseconds(kDeadline));
        }
    }
}

void PrivateBus::Start() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    ASSERT_FALSE(daemon.isEmpty())
        << "dbus-daemon is missing; install the dbus-daemon package (make deps)";
    ASSERT_TRUE(dir_.isValid());
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString::fromLatin1(kBusConfig).arg(dir_.filePath(QStringLiteral("bus"))).toUtf8());
    file.close();

    daemon_.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address")});
    ASSERT_TRUE(daemon_.waitForStarted(Milliseconds(kDeadline))) << "dbus-daemon did not start";
    QByteArray printed;
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!printed.contains('\n') && std::chrono::steady_clock::now() < deadline &&
           daemon_.waitForReadyRead(1000)) {
        printed += daemon_.readAllStandardOutput();
    }
    address_ = QString::fromUtf8(printed).trimmed();
    ASSERT_FALSE(address_.isEmpty()) << "dbus-daemon printed no address";
    driver_ = Connect(QStringLiteral("private-bus-driver"));
}

QDBusConnection PrivateBus::Connect(const QString& name) {
    connections_ << name;
    QDBusConnection connection = QDBusConnection::connectToBus(address_, name);
    EXPECT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
    return connection;
}

void PrivateBus::StartMock(const QString& templateName, const QString& service,
                           const QStringList& extra) {
    if (python_.isEmpty()) {
        python_ = PythonWith(QStringLiteral("dbusmock"));
    }
    ASSERT_FALSE(python_.isEmpty())
        << "python-dbusmock is missing; install python3-dbusmock (make deps)";
    QDBusServiceWatcher registered(service, driver_, QDBusServiceWatcher::WatchForRegistration);
    QSignalSpy spy(&registered, &QDBusServiceWatcher::serviceRegistered);
    service_ = service;
    mock_ = std::make_unique<QProcess>();
    // Both bus variables point here, whichever bus the template wants.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    mock_->setProcessEnvironment(env);
    // Its log of every call goes to standard output; its errors stay.
    mock_->setStandardOutputFile(QProcess::nullDevice());
    mock_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_->start(python_, QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                      QStringLiteral("--template"), templateName} +
                              extra);
    ASSERT_TRUE(mock_->waitForStarted(Milliseconds(kDeadline))) << "python-dbusmock did not start";
    ASSERT_TRUE(spy.wait(Milliseconds(kDeadline))) << "python-dbusmock did not take the name";
}

void PrivateBus::StopMock() {
    if (mock_ && mock_->state() != QProcess::NotRunning) {
        mock_->kill();
        mock_->waitForFinished(Milliseconds(kDeadline));
    }
    mock_.reset();
}

void PrivateBus::CallMock(const QString& path, const QString& method, const QVariantList& arguments,
                          QDBusMessage* reply) {
    QDBusMessage call = QDBusMessage::createMethodCall(service_, path, kMockInterface, method);
    call.setArguments(arguments);
    const QDBusMessage answer = driver_.call(call, QDBus::Block, Milliseconds(kDeadline));
    ASSERT_NE(answer.type(), QDBusMessage::ErrorMessage)
        << method.toStdString() << ": " << answer.errorMessage().toStdString();
    if (reply != nullptr) {
        *reply = answer;
    }
}

std::vector<QVariantList> PrivateBus::MockCalls(const QString& path, const QString& method,
                                                const QDBusConnection& via) {
    QDBusMessage ask = QDBusMessage::createMethodCall(service_, path, kMockInterface,
                                                      QStringLiteral("GetMethodCalls"));
    ask.setArguments({method});
    const QDBusMessage reply = via.call(ask, QDBus::Block, Milliseconds(kDeadline));
    std::vector<QVariantList> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        ADD_FAILURE() << "GetMethodCalls: " << reply.errorMessage().toStdString();
        return calls;
    }
    // a(tav): when, and the arguments.
    const auto log = qvariant_cast<QDBusArgument>(reply.arguments()[0]);
    log.beginArray();
    while (!log.atEnd()) {
        qulonglong when = 0;
        QVariantList arguments;
        log.beginStructure();
        log >> when >> arguments;
        log.endStructure();
        calls.push_back(arguments);
    }
    log.endArray();
    return calls;
}
