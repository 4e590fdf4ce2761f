#include "StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QImage>
#include <QPixmap>
#include <QtEndian>
#include <atomic>

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

// Two items of one process (the old one going while a new one comes) must
// not share a name: the host would drop the new one with the old.
QString NextServiceName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

StatusNotifierPixmap PixmapOf(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    StatusNotifierPixmap pixmap{image.width(), image.height(), {}};
    pixmap.Argb.resize(static_cast<qsizetype>(image.width()) * image.height() * 4);
    auto* out = reinterpret_cast<uchar*>(pixmap.Argb.data());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            qToBigEndian(line[x], out);
            out += 4;
        }
    }
    return pixmap;
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap) {
    argument.beginStructure();
    argument << pixmap.Width << pixmap.Height << pixmap.Argb;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap) {
    argument.beginStructure();
    argument >> pixmap.Width >> pixmap.Height >> pixmap.Argb;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip) {
    argument.beginStructure();
    argument << tip.IconName << tip.Icon << tip.Title << tip.Text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip) {
    argument.beginStructure();
    argument >> tip.IconName >> tip.Icon >> tip.Title >> tip.Text;
    argument.endStructure();
    return argument;
}

bool StatusNotifierHostRegistered(QDBusConnection& bus) {
    constexpr int kWatcherReplyMs = 2000;
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherReplyMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, const QIcon& image, const QString& tip,
                                       QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      service_(NextServiceName()),
      pixmaps_(Pixmaps(image)),
      tip_(tip) {
    qDBusRegisterMetaType<StatusNotifierPixmap>();
    qDBusRegisterMetaType<StatusNotifierPixmaps>();
    qDBusRegisterMetaType<StatusNotifierToolTip>();
    connect(&menu_, &DBusMenuExporter::MenuAboutToShow, this, &StatusNotifierItem::MenuAboutToShow);
    constexpr auto kExport = QDBusConnection::ExportScriptableContents;
    exported_ = bus_.registerObject(kItemPath, this, kExport) &&
                bus_.registerObject(kMenuPath, &menu_, kExport) && bus_.registerService(service_);
}

StatusNotifierItem::~StatusNotifierItem() {
    Withdraw();
}

void StatusNotifierItem::Withdraw() {
    if (withdrawn_) {
        return;
    }
    withdrawn_ = true;
    exported_ = false;
    // The name goes first: a host that sees it go stops asking the objects.
    bus_.unregisterService(service_);
    bus_.unregisterObject(kMenuPath);
    bus_.unregisterObject(kItemPath);
    QDBusConnection::disconnectFromBus(bus_.name());
}

void StatusNotifierItem::RegisterWithWatcher() {
    // Asynchronous: a watcher in a busy host must never stall the program.
    // The item goes by its connection's unique name, whose owner never
    // changes: GNOME's extension drops an item registered under a well-known
    // name when it sees that name's owner arrive while it sets the item up.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << bus_.baseService();
    bus_.asyncCall(call);
}

StatusNotifierPixmaps StatusNotifierItem::Pixmaps(const QIcon& image) {
    QList<QSize> sizes = image.availableSizes();
    if (sizes.isEmpty()) {
        sizes = {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}};
    }
    StatusNotifierPixmaps pixmaps;
    for (const QSize& size : sizes) {
        const QImage picture = image.pixmap(size, 1.0).toImage();
        if (!picture.isNull()) {
            pixmaps.append(PixmapOf(picture));
        }
    }
    return pixmaps;
}

void StatusNotifierItem::SetImage(const QIcon& image) {
    StatusNotifierPixmaps pixmaps = Pixmaps(image);
    if (pixmaps == pixmaps_) {
        return;
    }
    pixmaps_ = std::move(pixmaps);
    emit NewIcon();
}

void StatusNotifierItem::SetTip(const QString& tip) {
    if (tip == tip_) {
        return;
    }
    tip_ = tip;
    emit NewToolTip();
}

void StatusNotifierItem::Activate(int x, int y) {
    // A token serves one activation; a later one without its own must not
    // reuse it.
    emit Activated(QPoint(x, y), std::exchange(activationToken_, QString()));
}

void StatusNotifierItem::SecondaryActivate(int x, int y) {
    activationToken_.clear();
    emit SecondaryActivated(QPoint(x, y));
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    activationToken_.clear();
    emit ContextMenuRequested(QPoint(x, y));
}

void StatusNotifierItem::Scroll(int delta, const QString& orientation) {
    Q_UNUSED(delta);
    Q_UNUSED(orientation);
}

void StatusNotifierItem::ProvideXdgActivationToken(const QString& token) {
    activationToken_ = token;
}
