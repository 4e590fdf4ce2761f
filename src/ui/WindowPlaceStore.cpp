#include "WindowPlaceStore.h"

#include <QSettings>

QSettingsPlaceStore::QSettingsPlaceStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

QSettingsPlaceStore::~QSettingsPlaceStore() = default;

QByteArray QSettingsPlaceStore::Load(const QString& key) const {
    return settings_->value(key).toByteArray();
}

void QSettingsPlaceStore::Save(const QString& key, const QByteArray& geometry) {
    settings_->setValue(key, geometry);
    settings_->sync();
}
