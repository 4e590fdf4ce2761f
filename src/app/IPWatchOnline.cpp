#include "IPWatchOnline.h"

#include <net/if.h>

IPWatchOnline::IPWatchOnline()
    : watch_(
          [this] {
              auto stack = std::make_unique<TSocketStackLinux>(&counted_);
              stack_ = stack.get();
              return stack;
          },
          dispatcher_) {
    watch_.SetHistoryEnabled(false);
    watch_.SetHistoryFilename("iphist.dat");
    watch_.SetOnStatusChanged([this](TIPWatch& watch) {
        if (watch.Online()) {
            emit WentOnline(QString::fromStdString(CurrentInterface()));
        }
    });
    watch_.SetActive(true);
}

std::string IPWatchOnline::CurrentInterface() const {
    return watch_.Online() && stack_ != nullptr ? stack_->FirstInterface() : std::string();
}

void IPWatchOnline::SetCounting(const CountingSettings& counting) {
    const std::vector<std::string> names = counting.Interfaces.value_or(std::vector<std::string>{});
    counted_.SetNames(names);
    counted_.SetMeteredOnly(counting.MeteredOnly.value_or(false));
    if (counted_.MeteredOnly()) {
        WatchNetworkManager();
    }
    // A name that matches no interface is no error, as a modem's interface
    // comes and goes; it is named once, so that a typing mistake shows.
    for (const std::string& name : names) {
        if (if_nametoindex(name.c_str()) == 0 && namedMissing_.insert(name).second) {
            emit Notice(tr("Интерфейс «%1» не найден: он учитывается, когда появится")
                            .arg(QString::fromStdString(name)));
        }
    }
}

void IPWatchOnline::WatchNetworkManager() {
    if (networkManager_) {
        return;
    }
    networkManager_ = std::make_unique<NetworkManagerWatch>(QDBusConnection::systemBus());
    connect(networkManager_.get(), &NetworkManagerWatch::Changed, this,
            [this] { counted_.SetMetered(networkManager_->MeteredInterfaces()); });
    // Until it answers, and while it is away, the names alone decide.
    connect(networkManager_.get(), &NetworkManagerWatch::ServiceLost, this, [this] {
        counted_.SetMetered(std::nullopt);
        emit Notice(
            tr("NetworkManager недоступен: пока он не вернётся, "
               "Vimo не проверяет, лимитное ли подключение"));
    });
}
