#include "settings/profile_store.h"

#include <QSettings>

namespace vistrela {

ProfileStore::ProfileStore(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

ProfileStore::ProfileStore() : ProfileStore(DefaultPath()) {}

ProfileStore::~ProfileStore() = default;

QString ProfileStore::DefaultPath() {
    return QSettings().fileName();
}

QString ProfileStore::fileName() const {
    return settings_->fileName();
}

QVariant ProfileStore::value(const QString& key, const QVariant& fallback) const {
    return settings_->value(key, fallback);
}

void ProfileStore::setValue(const QString& key, const QVariant& value) {
    settings_->setValue(key, value);
}

void ProfileStore::remove(const QString& keyOrGroup) {
    settings_->remove(keyOrGroup);
}

bool ProfileStore::contains(const QString& key) const {
    return settings_->contains(key);
}

QStringList ProfileStore::childKeys(const QString& group) const {
    settings_->beginGroup(group);
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    return keys;
}

QStringList ProfileStore::childGroups() const {
    return settings_->childGroups();
}

bool ProfileStore::sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace vistrela
