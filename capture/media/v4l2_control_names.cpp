#include "capture/media/v4l2_control_names.h"

#include <linux/videodev2.h>

#include <QCoreApplication>

namespace vistrela {

namespace {

struct KnownControl {
    std::uint32_t id;
    const char* name;  // source text of the translation context "CameraControl"
};

constexpr KnownControl kKnown[] = {
    {V4L2_CID_BRIGHTNESS, QT_TRANSLATE_NOOP("CameraControl", "밝기")},
    {V4L2_CID_CONTRAST, QT_TRANSLATE_NOOP("CameraControl", "대비")},
    {V4L2_CID_SATURATION, QT_TRANSLATE_NOOP("CameraControl", "채도")},
    {V4L2_CID_HUE, QT_TRANSLATE_NOOP("CameraControl", "색조")},
    {V4L2_CID_HUE_AUTO, QT_TRANSLATE_NOOP("CameraControl", "자동 색조")},
    {V4L2_CID_SHARPNESS, QT_TRANSLATE_NOOP("CameraControl", "선명도")},
    {V4L2_CID_GAMMA, QT_TRANSLATE_NOOP("CameraControl", "감마")},
    {V4L2_CID_WHITE_BALANCE_TEMPERATURE,
     QT_TRANSLATE_NOOP("CameraControl", "화이트 밸런스 (온도)")},
    {V4L2_CID_AUTO_WHITE_BALANCE, QT_TRANSLATE_NOOP("CameraControl", "자동 화이트 밸런스")},
    {V4L2_CID_RED_BALANCE, QT_TRANSLATE_NOOP("CameraControl", "빨강 균형")},
    {V4L2_CID_BLUE_BALANCE, QT_TRANSLATE_NOOP("CameraControl", "파랑 균형")},
    {V4L2_CID_EXPOSURE, QT_TRANSLATE_NOOP("CameraControl", "노출")},
    {V4L2_CID_EXPOSURE_ABSOLUTE, QT_TRANSLATE_NOOP("CameraControl", "노출")},
    {V4L2_CID_EXPOSURE_AUTO, QT_TRANSLATE_NOOP("CameraControl", "자동 노출")},
    {V4L2_CID_EXPOSURE_AUTO_PRIORITY, QT_TRANSLATE_NOOP("CameraControl", "노출 우선")},
    {V4L2_CID_AUTOGAIN, QT_TRANSLATE_NOOP("CameraControl", "자동 게인")},
    {V4L2_CID_GAIN, QT_TRANSLATE_NOOP("CameraControl", "게인")},
    {V4L2_CID_FOCUS_ABSOLUTE, QT_TRANSLATE_NOOP("CameraControl", "초점")},
    {V4L2_CID_FOCUS_AUTO, QT_TRANSLATE_NOOP("CameraControl", "자동 초점")},
    {V4L2_CID_BACKLIGHT_COMPENSATION, QT_TRANSLATE_NOOP("CameraControl", "역광 보정")},
    {V4L2_CID_POWER_LINE_FREQUENCY, QT_TRANSLATE_NOOP("CameraControl", "전원 주파수")},
    {V4L2_CID_ZOOM_ABSOLUTE, QT_TRANSLATE_NOOP("CameraControl", "확대/축소")},
    {V4L2_CID_ZOOM_CONTINUOUS, QT_TRANSLATE_NOOP("CameraControl", "확대/축소")},
    {V4L2_CID_PAN_ABSOLUTE, QT_TRANSLATE_NOOP("CameraControl", "이동")},
    {V4L2_CID_TILT_ABSOLUTE, QT_TRANSLATE_NOOP("CameraControl", "기울기")},
    {V4L2_CID_PRIVACY, QT_TRANSLATE_NOOP("CameraControl", "화면 가림")},
    {V4L2_CID_HFLIP, QT_TRANSLATE_NOOP("CameraControl", "좌우 뒤집기")},
    {V4L2_CID_VFLIP, QT_TRANSLATE_NOOP("CameraControl", "상하 뒤집기")},
};

// The kernel's own names of the standard menu entries, as drivers report them.
constexpr const char* kMenuLabels[][2] = {
    {"Disabled", QT_TRANSLATE_NOOP("CameraControl", "사용 안 함")},
    {"Auto", QT_TRANSLATE_NOOP("CameraControl", "자동")},
    {"Auto Mode", QT_TRANSLATE_NOOP("CameraControl", "자동")},
    {"Manual Mode", QT_TRANSLATE_NOOP("CameraControl", "수동")},
    {"Shutter Priority Mode", QT_TRANSLATE_NOOP("CameraControl", "셔터 우선")},
    {"Aperture Priority Mode", QT_TRANSLATE_NOOP("CameraControl", "조리개 우선")},
};

}  // namespace

std::string V4l2MenuLabel(const std::string& driverLabel) {
    for (const auto& [driver, source] : kMenuLabels)
        if (driverLabel == driver)
            return QCoreApplication::translate("CameraControl", source).toStdString();
    return driverLabel;
}

std::string V4l2ControlName(std::uint32_t v4l2Id, const std::string& driverName) {
    for (const KnownControl& known : kKnown)
        if (known.id == v4l2Id)
            return QCoreApplication::translate("CameraControl", known.name).toStdString();
    return driverName;
}

}  // namespace vistrela
