#include "DBusMenuExporter.h"

#include <QActionEvent>
#include <QActionGroup>
#include <QDBusMetaType>
#include <QEvent>
#include <QMetaObject>

#include <utility>

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument << item.Id << item.Properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DBusMenuLayoutItem& child : item.Children) {
        argument << QDBusVariant(QVariant::fromValue(child));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
    argument.beginStructure();
    argument >> item.Id >> item.Properties;
    item.Children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        item.Children.append(qdbus_cast<DBusMenuLayoutItem>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item) {
    argument.beginStructure();
    argument << item.Id << item.Properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item) {
    argument.beginStructure();
    argument >> item.Id >> item.Properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
    argument.beginStructure();
    argument << event.Id << event.EventId << event.Data << event.Timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
    argument.beginStructure();
    argument >> event.Id >> event.EventId >> event.Data >> event.Timestamp;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item) {
    argument.beginStructure();
    argument << item.Id << item.Names;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item) {
    argument.beginStructure();
    argument >> item.Id >> item.Names;
    argument.endStructure();
    return argument;
}

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QObject(parent) {
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<QList<DBusMenuItemProperties>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
    // A program changing several actions at once sends one update.
    layoutChanged_.setSingleShot(true);
    layoutChanged_.setInterval(0);
    connect(&layoutChanged_, &QTimer::timeout, this, [this] {
        QList<DBusMenuItemProperties> updated;
        for (const QPointer<QAction>& action : std::exchange(changed_, {})) {
            if (action && ids_.contains(action.data())) {
                const int id = ids_.value(action.data());
                updated.append({id, PropertiesOf(id, {})});
            }
        }
        if (!updated.isEmpty()) {
            emit ItemsPropertiesUpdated(updated, {});
        }
        emit LayoutUpdated(++revision_, 0);
    });
}

void DBusMenuExporter::SetMenu(QMenu* menu) {
    if (menu_) {
        menu_->removeEventFilter(this);
    }
    menu_ = menu;
    Watch(menu);
    layoutChanged_.start();
}

void DBusMenuExporter::Watch(QMenu* menu) {
    if (menu != nullptr) {
        menu->installEventFilter(this);
    }
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event) {
    Q_UNUSED(watched);
    switch (event->type()) {
        case QEvent::ActionChanged:
            if (QAction* action = static_cast<QActionEvent*>(event)->action();
                !changed_.contains(action)) {
                changed_.append(action);
            }
            layoutChanged_.start();
            break;
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
            layoutChanged_.start();
            break;
        default:
            break;
    }
    return false;
}

QString DBusMenuExporter::Label(const QString& text) {
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            ++i;
            label += text.at(i) == u'&' ? QStringLiteral("&") : QStringLiteral("_") + text.at(i);
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

QAction* DBusMenuExporter::ActionOf(int id) const {
    return actions_.value(id).data();
}

// An address freed by a deleted action may come back as a new one; it gets a
// new id, so a host never clicks the new action through the old entry.
int DBusMenuExporter::IdOf(QAction* action) {
    const auto known = ids_.constFind(action);
    if (known != ids_.constEnd() && ActionOf(*known) == action) {
        return *known;
    }
    const int id = nextId_++;
    ids_.insert(action, id);
    actions_.insert(id, action);
    return id;
}

QMenu* DBusMenuExporter::MenuOf(int id) {
    if (id == 0) {
        return menu_.data();
    }
    QAction* action = ActionOf(id);
    return action != nullptr ? action->menu() : nullptr;
}

QVariantMap DBusMenuExporter::PropertiesOf(int id, const QStringList& names) {
    QVariantMap properties;
    if (id == 0) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (QAction* action = ActionOf(id)) {
        properties.insert(QStringLiteral("enabled"), action->isEnabled());
        properties.insert(QStringLiteral("visible"), action->isVisible());
        if (action->isSeparator()) {
            properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            properties.insert(QStringLiteral("label"), Label(action->text()));
            if (action->menu() != nullptr) {
                properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
            }
            if (action->isCheckable()) {
                const bool radio =
                    action->actionGroup() != nullptr && action->actionGroup()->isExclusive();
                properties.insert(QStringLiteral("toggle-type"),
                                  radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
                properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
            }
        }
    }
    if (!names.isEmpty()) {
        for (auto it = properties.begin(); it != properties.end();) {
            it = names.contains(it.key()) ? std::next(it) : properties.erase(it);
        }
    }
    return properties;
}

DBusMenuLayoutItem DBusMenuExporter::LayoutOf(int id, int depth, const QStringList& names) {
    DBusMenuLayoutItem item{id, PropertiesOf(id, names), {}};
    QMenu* menu = MenuOf(id);
    if (menu == nullptr || depth == 0) {
        return item;
    }
    Watch(menu);
    for (QAction* action : menu->actions()) {
        item.Children.append(LayoutOf(IdOf(action), depth < 0 ? -1 : depth - 1, names));
    }
    return item;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayoutItem& layout) {
    layout = LayoutOf(parentId, recursionDepth, propertyNames);
    return revision_;
}

QList<DBusMenuItemProperties> DBusMenuExporter::GetGroupProperties(
    const QList<int>& ids, const QStringList& propertyNames) {
    QList<DBusMenuItemProperties> result;
    for (const int id : ids) {
        if (id == 0 || ActionOf(id) != nullptr) {
            result.append({id, PropertiesOf(id, propertyNames)});
        }
    }
    return result;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    return QDBusVariant(PropertiesOf(id, {name}).value(name));
}

// The action runs after the reply has gone: a host waiting for it must not
// wait on a dialog the action opens.
bool DBusMenuExporter::Handle(int id, const QString& eventId) {
    if (id == 0) {
        return true;
    }
    QAction* action = ActionOf(id);
    if (action == nullptr) {
        return false;
    }
    if (eventId == QLatin1String("clicked") && action->isEnabled() && !action->menu()) {
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    }
    return true;
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant& data,
                             uint timestamp) {
    Q_UNUSED(data);
    Q_UNUSED(timestamp);
    Handle(id, eventId);
}

QList<int> DBusMenuExporter::EventGroup(const QList<DBusMenuEvent>& events) {
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (!Handle(event.Id, event.EventId)) {
            idErrors.append(event.Id);
        }
    }
    return idErrors;
}

// A receiver of MenuAboutToShow that changes the menu sends the action
// events at once, so the host learns here whether to read the layout again.
bool DBusMenuExporter::AboutToShow(int id) {
    if (id != 0) {
        return false;
    }
    emit MenuAboutToShow();
    return layoutChanged_.isActive();
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    QList<int> updatesNeeded;
    for (const int id : ids) {
        if (id != 0 && ActionOf(id) == nullptr) {
            idErrors.append(id);
        } else if (AboutToShow(id)) {
            updatesNeeded.append(id);
        }
    }
    return updatesNeeded;
}
