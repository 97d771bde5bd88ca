#include "capture/ui/camera_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/v4l2_control_names.h"
#include "capture/remembered_controls.h"
#include "settings/app_profile.h"

namespace vistrela {

CameraSettingsDialog::CameraSettingsDialog(std::unique_ptr<CameraControls> controls,
                                           const QString& deviceName, QWidget* parent,
                                           const std::string& cameraIdentity, ProfileStore* profile)
    : QDialog(parent),
      controls_(std::move(controls)),
      cameraIdentity_(profile != nullptr ? cameraIdentity : std::string()),
      profile_(profile) {
    setWindowTitle(deviceName.isEmpty() ? tr("카메라 설정")
                                        : tr("카메라 설정 - %1").arg(deviceName));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const std::vector<ControlInfo> all = controls_->list();
    rows_.reserve(all.size());
    for (const ControlInfo& info : all) addRow(info, form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* defaults = buttons->addButton(tr("기본값으로"), QDialogButtonBox::ResetRole);
    defaults->setObjectName("restoreDefaults");
    QPushButton* close = buttons->addButton(tr("닫기"), QDialogButtonBox::RejectRole);
    close->setObjectName("close");
    connect(defaults, &QPushButton::clicked, this, &CameraSettingsDialog::restoreDefaults);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    refresh();
}

CameraSettingsDialog::~CameraSettingsDialog() = default;

void CameraSettingsDialog::addRow(const ControlInfo& info, QFormLayout* form) {
    rows_.push_back(Row{info});
    Row& row = rows_.back();
    const std::uint32_t id = info.id;
    const QString name = QString::fromStdString(V4l2ControlName(info.id, info.name));
    switch (info.type) {
        case ControlType::Integer: {
            auto* box = new QWidget(this);
            auto* h = new QHBoxLayout(box);
            h->setContentsMargins(0, 0, 0, 0);
            row.slider = new QSlider(Qt::Horizontal, box);
            row.slider->setRange(info.minimum, info.maximum);
            row.slider->setSingleStep(info.step);
            row.slider->setPageStep(std::max(info.step, (info.maximum - info.minimum) / 10));
            row.slider->setMinimumWidth(220);
            row.valueLabel = new QLabel(box);
            row.valueLabel->setMinimumWidth(48);
            h->addWidget(row.slider, 1);
            h->addWidget(row.valueLabel);
            const int minimum = info.minimum;
            const int step = std::max(1, info.step);
            QLabel* label = row.valueLabel;
            connect(row.slider, &QSlider::valueChanged, this,
                    [this, id, minimum, step, label](int v) {
                        // Drivers refuse values off their step grid.
                        const int snapped = minimum + (v - minimum) / step * step;
                        label->setNum(snapped);
                        apply(id, snapped);
                    });
            form->addRow(name, box);
            break;
        }
        case ControlType::Boolean:
            row.check = new QCheckBox(this);
            connect(row.check, &QCheckBox::toggled, this,
                    [this, id](bool on) { apply(id, on ? 1 : 0); });
            form->addRow(name, row.check);
            break;
        case ControlType::Menu:
            row.menu = new QComboBox(this);
            for (const ControlMenuItem& item : info.menu)
                row.menu->addItem(QString::fromStdString(V4l2MenuLabel(item.label)), item.value);
            connect(row.menu, &QComboBox::activated, this, [this, id, menu = row.menu](int index) {
                apply(id, menu->itemData(index).toInt());
            });
            form->addRow(name, row.menu);
            break;
    }
}

void CameraSettingsDialog::showValue(Row& row, int value) {
    if (row.slider != nullptr) {
        const QSignalBlocker block(row.slider);
        row.slider->setValue(value);
        row.valueLabel->setNum(value);
    } else if (row.check != nullptr) {
        const QSignalBlocker block(row.check);
        row.check->setChecked(value != 0);
    } else if (row.menu != nullptr) {
        const QSignalBlocker block(row.menu);
        row.menu->setCurrentIndex(row.menu->findData(value));
    }
}

void CameraSettingsDialog::apply(std::uint32_t id, int value) {
    if (controls_->set(id, value) && !cameraIdentity_.empty() && RememberChoicesEnabled(*profile_))
        RememberedControls(*profile_, cameraIdentity_).remember(id, value);
}

void CameraSettingsDialog::refresh() {
    for (Row& row : rows_) {
        const std::optional<int> value = controls_->get(row.info.id);
        showValue(row, value.value_or(row.info.defaultValue));
    }
}

void CameraSettingsDialog::restoreDefaults() {
    RestoreDefaults(*controls_);
    if (!cameraIdentity_.empty()) RememberedControls(*profile_, cameraIdentity_).forget();
    refresh();
}

int ShowPropertyPages(const std::shared_ptr<void>& moniker, QWidget* owner,
                      const std::string& cameraIdentity, ProfileStore* profile) {
    if (!moniker) return kCaptureInvalidArg;
    std::shared_ptr<CaptureDevice> device = DeviceFromMoniker(moniker);
    std::unique_ptr<CameraControls> controls = device->openControls();
    if (!controls || controls->list().empty()) return kCaptureOk;
    CameraSettingsDialog dialog(std::move(controls), QString::fromStdString(device->friendlyName()),
                                owner, cameraIdentity, profile);
    dialog.exec();
    return kCaptureOk;
}

}  // namespace vistrela
