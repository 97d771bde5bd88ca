#pragma once
// The application profile: what the program keeps for the user between runs, in one
// ini-format file (by default ~/.config/vistrela/vistrela.conf, Qt's place for organisation and
// application "vistrela"). capture.ini is never written; the profile is. This is the one place
// the program opens the profile: the start-up makes one store and passes it to everything that
// keeps a choice.
//
// Groups: "Remembered" holds the opt-in choices of the options dialog (app_profile.h,
// remembered_choices.h), "CameraControls/<identity>" the camera-settings values kept per
// camera (remembered_controls.h), "MessageBoxes" the remembered answers of message boxes.
// Keys are full paths, "Group/key".
//
// User-interface thread only. Changes reach the file at sync() or when the store goes.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSettings;

namespace vistrela {

class ProfileStore {
public:
    // The profile in the file at `path`.
    explicit ProfileStore(const QString& path);
    // The profile at the application's standard place (DefaultPath).
    ProfileStore();
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // The standard profile file of the application as named at start-up (organisation and
    // application name of QCoreApplication).
    static QString DefaultPath();
    // The file this store reads and writes.
    QString fileName() const;

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    void setValue(const QString& key, const QVariant& value);
    // Removes a key, or a group with everything in it ("" removes everything).
    void remove(const QString& keyOrGroup);
    bool contains(const QString& key) const;
    // The keys directly inside `group` (not those of its subgroups).
    QStringList childKeys(const QString& group) const;
    // The groups at the top of the profile.
    QStringList childGroups() const;
    // Writes pending changes; false when the file could not be written.
    bool sync();

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace vistrela
