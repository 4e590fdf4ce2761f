#pragma once

#include "plan/PlanSettings.h"

#include <QObject>
#include <QString>

#include <string>

// Whether the computer is online and its current address, as the IP watcher
// last found them, and which interfaces may count. Read by the minute tick
// on the user-interface thread.
class OnlineState : public QObject {
    Q_OBJECT

  public:
    virtual bool Online() const = 0;
    virtual std::string CurrentAddress() const = 0;
    // The interface that carries the address; empty while offline.
    virtual std::string CurrentInterface() const = 0;
    // Which interfaces count, as the plan file says; its absence counts all.
    virtual void SetCounting(const CountingSettings& counting) = 0;

  signals:
    // The watcher has just seen the computer go online through `interface`.
    void WentOnline(const QString& interface);
    // Something about what is counted that the user should know, once.
    void Notice(const QString& text);
};
