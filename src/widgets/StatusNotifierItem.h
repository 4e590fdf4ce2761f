#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QString>

#include "DBusMenuExporter.h"

// One picture of an icon, (iiay): ARGB32 pixels in network byte order.
struct StatusNotifierPixmap {
    int Width = 0;
    int Height = 0;
    QByteArray Argb;
    bool operator==(const StatusNotifierPixmap&) const = default;
};
using StatusNotifierPixmaps = QList<StatusNotifierPixmap>;

// The item's tooltip, (sa(iiay)ss): icon name, icon, title, text.
struct StatusNotifierToolTip {
    QString IconName;
    StatusNotifierPixmaps Icon;
    QString Title;
    QString Text;
};

Q_DECLARE_METATYPE(StatusNotifierPixmap)
Q_DECLARE_METATYPE(StatusNotifierToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip);

// Whether the bus's StatusNotifierWatcher says a host shows items: the test
// Qt's own tray makes too. A watcher that does not answer in two seconds
// counts as none for now.
bool StatusNotifierHostRegistered(QDBusConnection& bus);

// The program's icon as an org.kde.StatusNotifierItem, with its menu as
// dbusmenu at /MenuBar, on a bus name of its own. It is on the bus from
// construction to Withdraw; RegisterWithWatcher tells a watcher about it.
// The connection is the item's own: Withdraw closes it.
// The scriptable members are the D-Bus interface.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconName READ EmptyName)
    Q_PROPERTY(StatusNotifierPixmaps IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ EmptyName)
    Q_PROPERTY(StatusNotifierPixmaps OverlayIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionIconName READ EmptyName)
    Q_PROPERTY(StatusNotifierPixmaps AttentionIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ EmptyName)
    Q_PROPERTY(StatusNotifierToolTip ToolTip READ ToolTip)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)

  public:
    // Throws nothing; Exported() tells whether the bus took the item.
    StatusNotifierItem(QDBusConnection bus, const QIcon& image, const QString& tip,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    bool Exported() const { return exported_; }
    // Takes the item off the bus before it is deleted; hosts drop it.
    void Withdraw();
    QString ServiceName() const { return service_; }
    // Asks the bus's watcher to show the item; a watcher that is not there
    // or refuses it leaves nothing to do until the next one comes.
    void RegisterWithWatcher();

    void SetImage(const QIcon& image);
    void SetTip(const QString& tip);
    void SetMenu(QMenu* menu) { menu_.SetMenu(menu); }

    // The pictures a host may choose from: each size the icon has, or the
    // usual panel sizes when it names none.
    static StatusNotifierPixmaps Pixmaps(const QIcon& image);

    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const { return QStringLiteral("vimo"); }
    QString Title() const { return QStringLiteral("Vimo"); }
    QString Status() const { return QStringLiteral("Active"); }
    int WindowId() const { return 0; }
    QString EmptyName() const { return {}; }
    StatusNotifierPixmaps IconPixmap() const { return pixmaps_; }
    StatusNotifierPixmaps NoPixmaps() const { return {}; }
    StatusNotifierToolTip ToolTip() const { return {{}, {}, Title(), tip_}; }
    bool ItemIsMenu() const { return false; }
    QDBusObjectPath Menu() const { return QDBusObjectPath(QStringLiteral("/MenuBar")); }

  public slots:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);
    Q_SCRIPTABLE void ProvideXdgActivationToken(const QString& token);

  signals:
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewStatus(const QString& status);

    // The host's reports; an activation carries the token handed over just
    // before it, if any.
    void Activated(QPoint cursor, const QString& activationToken);
    void SecondaryActivated(QPoint cursor);
    void ContextMenuRequested(QPoint cursor);
    void MenuAboutToShow();

  private:
    QDBusConnection bus_;
    QString service_;
    bool exported_ = false;
    bool withdrawn_ = false;
    StatusNotifierPixmaps pixmaps_;
    QString tip_;
    QString activationToken_;
    DBusMenuExporter menu_;
};
