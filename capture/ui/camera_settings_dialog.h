#pragma once
// The camera-settings dialog ("카메라 설정"): one row per control of the device (sliders for
// integers, check boxes for booleans, lists for menus) and a button that restores every
// default. Changes go to the device at once, while the picture keeps running.
// Given the camera's identity and the profile, the dialog also keeps what the user changes
// while remembering is on (RememberChoicesEnabled, remembered_controls.h), and its defaults
// button forgets it.
// User-interface thread only.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "capture/camera_controls.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSlider;

namespace vistrela {

class ProfileStore;

class CameraSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Takes ownership of `controls`, which must list at least one control. `cameraIdentity`
    // (CameraIdentity) names the camera whose changes are remembered in `profile` (not owned);
    // "" or no profile remembers nothing.
    CameraSettingsDialog(std::unique_ptr<CameraControls> controls, const QString& deviceName,
                         QWidget* parent = nullptr, const std::string& cameraIdentity = {},
                         ProfileStore* profile = nullptr);
    ~CameraSettingsDialog() override;

    // Sets every control to its default, shows the new values and forgets the camera's
    // remembered ones.
    void restoreDefaults();
    // Reads every control back from the device into the widgets.
    void refresh();

private:
    struct Row {
        ControlInfo info;
        QSlider* slider = nullptr;
        QLabel* valueLabel = nullptr;
        QCheckBox* check = nullptr;
        QComboBox* menu = nullptr;
    };
    void addRow(const ControlInfo& info, QFormLayout* form);
    void showValue(Row& row, int value);
    // Sets a value the user chose, and keeps it when the device took it and remembering is on.
    void apply(std::uint32_t id, int value);

    std::unique_ptr<CameraControls> controls_;
    std::vector<Row> rows_;
    std::string cameraIdentity_;
    ProfileStore* profile_;
};

// Shows the camera-settings dialog of the device in `moniker` modally over `owner`, remembering
// changes under `cameraIdentity` as the dialog does. A device without controls shows nothing.
// Returns 0, or -1 (invalid argument) for an empty moniker.
int ShowPropertyPages(const std::shared_ptr<void>& moniker, QWidget* owner,
                      const std::string& cameraIdentity = {}, ProfileStore* profile = nullptr);

}  // namespace vistrela
