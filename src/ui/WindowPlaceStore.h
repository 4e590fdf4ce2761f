#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

// Where a window keeps its size and place between runs, by a key of its
// own; a key never saved gives an empty array.
class WindowPlaceStore {
  public:
    virtual ~WindowPlaceStore() = default;
    virtual QByteArray Load(const QString& key) const = 0;
    virtual void Save(const QString& key, const QByteArray& geometry) = 0;
};

// The places kept with QSettings: the program passes the user's settings of
// "Vimo", anything else a file of its own.
class QSettingsPlaceStore final : public WindowPlaceStore {
  public:
    explicit QSettingsPlaceStore(std::unique_ptr<QSettings> settings);
    ~QSettingsPlaceStore() override;

    QByteArray Load(const QString& key) const override;
    // Written through at once, so a program that is killed keeps it.
    void Save(const QString& key, const QByteArray& geometry) override;

  private:
    std::unique_ptr<QSettings> settings_;
};
