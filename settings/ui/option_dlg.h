#pragma once
// The options dialog ("Option"): camera, capture size, JPEG quality, save folder, how pictures
// are named, whether the window hides after a capture, and whether these choices are
// remembered for the next start. Modal, user-interface thread only.
//
// It edits the Settings it is given (the caller passes a copy and takes it only after OK): OK
// writes every choice, Browse and Cancel (or Escape) write nothing. With the remember box on,
// OK also stores the choices in the application profile, and says so when that file cannot
// be written; with it off, OK removes what was stored.
//
// Controls are placed in dialog units of the dialog's font (굴림 10 points, NanumGothic where
// 굴림 is missing), widened together when a font's text would not fit; on a screen too small
// for that, the font gets smaller until the dialog fits.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "capture/capture_modes.h"
#include "settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vistrela {

class ProfileStore;
class Prompts;
struct ViewState;

// Control ids of the dialog template; each widget carries its id in the "controlId" property.
inline constexpr int IDC_OPT_CROP_WIDTH = 1002;
inline constexpr int IDC_OPT_CROP_HEIGHT = 1003;
inline constexpr int IDC_OPT_CAMERA = 1004;
inline constexpr int IDC_OPT_SAVE_PATH = 1005;
inline constexpr int IDC_OPT_BROWSE = 1006;
inline constexpr int IDC_OPT_FILE_NAME = 1007;
inline constexpr int IDC_OPT_MODE = 1009;
inline constexpr int IDC_OPT_QUALITY = 1010;
inline constexpr int IDC_OPT_NAME_TIME = 1014;
inline constexpr int IDC_OPT_NAME_FIXED = 1015;
inline constexpr int IDC_OPT_NAME_ASK = 1016;
inline constexpr int IDC_OPT_HIDE = 1017;
inline constexpr int IDC_OPT_REMEMBER = 1018;
// The language list: automatic, Korean, English (LanguageChoice); kept with the remembered
// choices and applied at the next start.
inline constexpr int IDC_OPT_LANGUAGE = 1019;

// The dialog's messages: source texts of the dialog's translation context.
inline constexpr const char* kBrowseFolderTitle =
    QT_TRANSLATE_NOOP("vistrela::Option", "저장될 폴더를 선택하세요");
inline constexpr const char* kNoDeviceInfo =
    QT_TRANSLATE_NOOP("vistrela::Option", "선택된 카메라에 대한 장치정보가 없습니다.");
inline constexpr const char* kEnterInteger =
    QT_TRANSLATE_NOOP("vistrela::Option", "정수를 입력하십시오.");
// OK could not write the remembered choices (followed by the profile's file name).
inline constexpr const char* kRememberFailed = QT_TRANSLATE_NOOP(
    "vistrela::Option", "설정을 기억하지 못했습니다. 다음 파일에 쓸 수 없습니다:");
inline constexpr const char* kEnterQualityRange =
    QT_TRANSLATE_NOOP("vistrela::Option", "1에서 99 사이의 정수를 입력하십시오.");

class Option : public QDialog {
    Q_OBJECT
public:
    // The capture sizes of device row `row` (YUY2 rows, in the device's order).
    using ModesOfRow = std::function<std::vector<ModeSize>(int row)>;

    // `settings`, `view` and `prompts` must outlive the dialog. `settings.devices` lists the
    // cameras; `modesOf` gives each camera's sizes. `desktopPath` is the default save folder of
    // the reset OK starts with. `cameraRow` picks the camera shown first when that row carries
    // `settings.cameraName` (of two cameras with one name, the one in force); otherwise the
    // first entry with that name, else the first entry. `remember` is the remember box's state;
    // OK stores or forgets the choices in `profile` (must outlive the dialog).
    Option(Settings& settings, ViewState& view, Prompts& prompts, ProfileStore& profile,
           std::string desktopPath, ModesOfRow modesOf, bool remember, int cameraRow = -1,
           QWidget* parent = nullptr);
    ~Option() override;

    // The device row of the camera OK chose, -1 without one.
    int chosenRow() const { return chosenRow_; }
    // The widget of a template control id, or null.
    QWidget* control(int id) const;

    void OnBrowse();
    void OnOK();
    void accept() override;

private:
    // Reads the controls into the members (data exchange from the controls). On a failure
    // shows the message, focuses the field and returns false; later fields are not read.
    bool readControls();
    // Writes the members into the controls.
    void writeControls();
    // The radio buttons and the file name field from m_nameMode.
    void UpdateControls();
    void onNameMode(int mode);
    // Refills the size list with the sizes of the selected camera, keeping the selected text
    // when the new list has it (else the resolution setting, else row 0).
    void fillModes(const std::string& keep);
    int selectedRow() const;
    // The steps of the constructor. Makes the controls in template order, with the name rule's
    // group, the tab order and the remember box's key.
    void makeControls();
    // The camera, size, crop, quality and folder controls; the name rule; the hide and
    // remember boxes, the language list, OK and Cancel.
    void makeCaptureControls();
    void makeNameRuleControls();
    void makeClosingControls();
    // Adds `widget` to the template at x, y, w, h (dialog units) with control id `id` (0: none);
    // `fitText`: its text must fit the width.
    void place(QWidget* widget, int id, int x, int y, int w, int h, bool fitText);
    void addLabel(const char* text, int x, int y, int w, int h);
    QLineEdit* addEdit(int id, int x, int y, int w, int h, bool alignRight);
    // Picks the largest font, down to the smallest allowed, with which the dialog fits the
    // screen of `parent` (or the primary screen), and places the controls in it.
    void fitToScreen(const QWidget* parent);
    // Lists the cameras and selects the one `cameraRow` names (see the constructor).
    void fillCameras(int cameraRow);
    // Places the controls by the template in the current font; `compact` lets fields be lower
    // than their natural height (down to what their text needs).
    void layoutTemplate(bool compact);

    Settings& settings_;
    ViewState& view_;
    Prompts& prompts_;
    ProfileStore& profile_;
    std::string desktopPath_;
    ModesOfRow modesOf_;
    std::vector<int> rowOfEntry_;  // device row of each camera list entry
    int chosenRow_ = -1;

    // The values the dialog's fields exchange.
    struct Values {
        int nameMode = 0;
        int quality = 0;
        int cropHeight = 0;
        int cropWidth = 0;
        std::string fileName;
        std::string savePath;
        int hideAfterCapture = 0;
    };
    Values values_;

    // The rule pictures are named by: its three choices and the fixed name they enable.
    struct NameRuleControls {
        QButtonGroup* group = nullptr;
        QRadioButton* fixed = nullptr;
        QRadioButton* timeStamp = nullptr;
        QRadioButton* ask = nullptr;
        QLineEdit* fileName = nullptr;
    };
    NameRuleControls nameRule_;

    QComboBox* m_cameraList = nullptr;
    QComboBox* m_modeList = nullptr;
    QLineEdit* cropWidthEdit_ = nullptr;
    QLineEdit* cropHeightEdit_ = nullptr;
    QLineEdit* qualityEdit_ = nullptr;
    QLineEdit* savePathEdit_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QCheckBox* hideCheck_ = nullptr;
    QCheckBox* rememberCheck_ = nullptr;
    QComboBox* languageList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    struct Placed {
        QWidget* widget;
        int x, y, w, h;  // dialog units
        bool fitText;    // the text must fit the width
    };
    std::vector<Placed> placed_;
};

}  // namespace vistrela
