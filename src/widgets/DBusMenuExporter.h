#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

// One entry of the menu's layout, (ia{sv}av): its children go as variants.
struct DBusMenuLayoutItem {
    int Id = 0;
    QVariantMap Properties;
    QList<DBusMenuLayoutItem> Children;
};

// (ia{sv}): an entry's properties, as GetGroupProperties answers.
struct DBusMenuItemProperties {
    int Id = 0;
    QVariantMap Properties;
};

// (ias): the properties an entry no longer has, as ItemsPropertiesUpdated
// names them.
struct DBusMenuItemKeys {
    int Id = 0;
    QStringList Names;
};

// (isvu): one event of EventGroup.
struct DBusMenuEvent {
    int Id = 0;
    QString EventId;
    QDBusVariant Data;
    uint Timestamp = 0;
};

Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuEvent)
Q_DECLARE_METATYPE(DBusMenuItemKeys)

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

// A QMenu as com.canonical.dbusmenu, for a tray host that draws the menu
// itself. Entry 0 is the menu; its actions get ids of their own that stay
// the same while the action lives. The scriptable members are the D-Bus
// interface; register the object with ExportScriptableContents.
class DBusMenuExporter final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version)
    Q_PROPERTY(QString TextDirection READ TextDirection)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

  public:
    explicit DBusMenuExporter(QObject* parent = nullptr);

    void SetMenu(QMenu* menu);

    uint Version() const { return 3; }
    QString TextDirection() const { return QStringLiteral("ltr"); }
    QString Status() const { return QStringLiteral("normal"); }
    QStringList IconThemePath() const { return {}; }

    // Qt's "&" mnemonic marker as dbusmenu's "_"; "&&" is a plain "&", and a
    // plain "_" is doubled so that it stays one.
    static QString Label(const QString& text);

  public slots:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuLayoutItem& layout);
    Q_SCRIPTABLE QList<DBusMenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                                  const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const QList<DBusMenuEvent>& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

  signals:
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    // An entry's label, state or visibility changed. Hosts that read only
    // the layout's shape on LayoutUpdated (GNOME's AppIndicator extension)
    // take the entries' properties from this alone.
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const QList<DBusMenuItemProperties>& updated,
                                             const QList<DBusMenuItemKeys>& removed);
    // The host is about to show the menu; a receiver may still change it.
    void MenuAboutToShow();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QMenu* MenuOf(int id);
    QAction* ActionOf(int id) const;
    int IdOf(QAction* action);
    QVariantMap PropertiesOf(int id, const QStringList& names);
    DBusMenuLayoutItem LayoutOf(int id, int depth, const QStringList& names);
    void Watch(QMenu* menu);
    bool Handle(int id, const QString& eventId);

    QPointer<QMenu> menu_;
    QHash<int, QPointer<QAction>> actions_;
    QHash<QAction*, int> ids_;
    int nextId_ = 1;
    uint revision_ = 1;
    QTimer layoutChanged_;
    // The entries whose action changed since the last update.
    QList<QPointer<QAction>> changed_;
};
