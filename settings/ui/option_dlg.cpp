#include "settings/ui/option_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "common/language.h"
#include "common/prompts.h"
#include "common/strings.h"
#include "settings/paths.h"
#include "settings/profile_store.h"
#include "settings/remembered_choices.h"
#include "viewer/view_state.h"

namespace vistrela {

namespace {

constexpr int kTemplateWidth = 296;
constexpr int kTemplateHeight = 283;
// A drop-down list's closed height in dialog units (its template height includes the list).
constexpr int kComboHeight = 13;
constexpr const char* kCaption = "Vistrela";
constexpr int kFontPoints = 10;
// A screen too small for the dialog at its font (a laptop at scale 2) gets a smaller font, down
// to this, so that OK and Cancel stay on the screen.
constexpr int kSmallestFontPoints = 6;
// Room left on the screen for the window manager's frame.
constexpr int kFrameAllowanceX = 16;
constexpr int kFrameAllowanceY = 48;

// An integer the way the dialog's data exchange reads one: blanks around it, an optional sign,
// digits, nothing else; empty text and values outside int are not integers.
bool ParseInteger(const QString& text, int& value) {
    const std::string s = text.toStdString();
    const char* p = s.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = static_cast<int>(v);
    return true;
}

// The Korean face the dialog was laid out in; English keeps the desktop's face.
QFont DialogFont(int points) {
    QFont font;
    if (CurrentLanguage() == Language::Korean)
        font.setFamilies(
            {QStringLiteral("굴림"), QStringLiteral("Gulim"), QStringLiteral("NanumGothic")});
    font.setPointSize(points);
    return font;
}

}  // namespace

Option::Option(Settings& settings, ViewState& view, Prompts& prompts, ProfileStore& profile,
               std::string desktopPath, ModesOfRow modesOf, bool remember, int cameraRow,
               QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      view_(view),
      prompts_(prompts),
      profile_(profile),
      desktopPath_(std::move(desktopPath)),
      modesOf_(std::move(modesOf)) {
    setWindowTitle(tr("Option"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    makeControls();
    fitToScreen(parent);
    fillCameras(cameraRow);
    values_.quality = settings_.jpegQuality;
    values_.cropHeight = settings_.cropHeight;
    values_.cropWidth = settings_.cropWidth;
    values_.savePath = settings_.savePath;
    values_.fileName = settings_.fileName;
    values_.nameMode = settings_.nameMode;
    values_.hideAfterCapture = settings_.hideAfterCapture;
    rememberCheck_->setChecked(remember);
    writeControls();
    UpdateControls();

    connect(nameRule_.group, &QButtonGroup::idClicked, this,
            [this](int mode) { onNameMode(mode); });
    connect(browseButton_, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(okButton_, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
    m_cameraList->setFocus(Qt::OtherFocusReason);
}

Option::~Option() = default;

void Option::place(QWidget* widget, int id, int x, int y, int w, int h, bool fitText) {
    if (id != 0) widget->setProperty("controlId", id);
    placed_.push_back({widget, x, y, w, h, fitText});
}

void Option::addLabel(const char* text, int x, int y, int w, int h) {
    place(new QLabel(tr(text), this), 0, x, y, w, h, true);
}

QLineEdit* Option::addEdit(int id, int x, int y, int w, int h, bool alignRight) {
    auto* edit = new QLineEdit(this);
    if (alignRight) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(edit, id, x, y, w, h, false);
    return edit;
}

void Option::makeControls() {
    // Template order: it is also the drawing order, so the group boxes lie under their fields.
    makeCaptureControls();
    makeNameRuleControls();
    makeClosingControls();

    const QList<QWidget*> tabOrder = {
        m_cameraList,        m_modeList,    cropWidthEdit_,     cropHeightEdit_,
        qualityEdit_,        savePathEdit_, browseButton_,      nameRule_.fixed,
        nameRule_.timeStamp, nameRule_.ask, nameRule_.fileName, hideCheck_,
        rememberCheck_,      languageList_, okButton_,          cancelButton_};
    for (int i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Option::makeCaptureControls() {
    addLabel(QT_TR_NOOP("카메라 선택"), 7, 19, 51, 10);
    m_cameraList = new QComboBox(this);
    place(m_cameraList, IDC_OPT_CAMERA, 66, 17, 111, kComboHeight, false);
    addLabel(QT_TR_NOOP("해상도 모드"), 7, 40, 51, 10);
    m_modeList = new QComboBox(this);
    place(m_modeList, IDC_OPT_MODE, 66, 39, 111, kComboHeight, false);
    place(new QGroupBox(tr("잘라낼 크기 (Crop)"), this), 0, 7, 69, 113, 45, true);
    addLabel(QT_TR_NOOP("폭(Width)"), 18, 86, 51, 10);
    cropWidthEdit_ = addEdit(IDC_OPT_CROP_WIDTH, 80, 86, 26, 9, true);
    addLabel(QT_TR_NOOP("높이(Height)"), 18, 98, 52, 11);
    cropHeightEdit_ = addEdit(IDC_OPT_CROP_HEIGHT, 80, 99, 26, 9, true);
    place(new QGroupBox(tr("JPG 저장옵션"), this), 0, 149, 69, 127, 45, true);
    addLabel(QT_TR_NOOP("JPG품질 (최대: 99)"), 159, 90, 67, 12);
    qualityEdit_ = addEdit(IDC_OPT_QUALITY, 236, 90, 26, 9, true);
    addLabel(QT_TR_NOOP("저장경로"), 7, 123, 38, 11);
    savePathEdit_ = addEdit(IDC_OPT_SAVE_PATH, 51, 123, 225, 12, false);
    browseButton_ = new QPushButton(tr("찾아보기.."), this);
    browseButton_->setAutoDefault(false);
    place(browseButton_, IDC_OPT_BROWSE, 53, 137, 54, 15, true);
}

void Option::makeNameRuleControls() {
    addLabel(QT_TR_NOOP("파일명"), 7, 162, 38, 11);
    nameRule_.fixed = new QRadioButton(tr("파일명 지정"), this);
    place(nameRule_.fixed, IDC_OPT_NAME_FIXED, 55, 164, 51, 10, true);
    nameRule_.fileName = addEdit(IDC_OPT_FILE_NAME, 128, 162, 107, 12, false);
    nameRule_.timeStamp = new QRadioButton(tr("현재시간으로 저장"), this);
    place(nameRule_.timeStamp, IDC_OPT_NAME_TIME, 55, 180, 70, 10, true);
    addLabel(QT_TR_NOOP("예: 20010305_110145.jpg"), 128, 179, 107, 14);
    nameRule_.ask = new QRadioButton(tr("저장할 때 직접입력"), this);
    place(nameRule_.ask, IDC_OPT_NAME_ASK, 55, 196, 72, 10, true);

    nameRule_.group = new QButtonGroup(this);
    nameRule_.group->addButton(nameRule_.fixed, kNameFixed);
    nameRule_.group->addButton(nameRule_.timeStamp, kNameTimeStamp);
    nameRule_.group->addButton(nameRule_.ask, kNameAsk);
}

void Option::makeClosingControls() {
    addLabel(QT_TR_NOOP("기타"), 7, 214, 38, 11);
    hideCheck_ = new QCheckBox(tr("캡처후 화면 숨기기"), this);
    place(hideCheck_, IDC_OPT_HIDE, 57, 215, 71, 11, true);
    rememberCheck_ = new QCheckBox(tr("설정 기억하기(&M)"), this);
    // Alt+M toggles the box at once: a button's own mnemonic clicks it a moment later, and an
    // Enter pressed within that moment would end the dialog with the box unchanged.
    rememberCheck_->setShortcut(QKeySequence());
    auto* rememberKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_M), this);
    connect(rememberKey, &QShortcut::activated, this, [this] {
        rememberCheck_->setFocus(Qt::ShortcutFocusReason);
        rememberCheck_->toggle();
    });
    place(rememberCheck_, IDC_OPT_REMEMBER, 150, 215, 80, 11, true);
    addLabel(QT_TR_NOOP("언어 / Language"), 7, 233, 56, 11);
    languageList_ = new QComboBox(this);
    // Named in their own language, so that each reader finds theirs.
    languageList_->addItems({tr("자동"), QStringLiteral("한국어"), QStringLiteral("English")});
    languageList_->setToolTip(
        tr("다음에 프로그램을 시작할 때 적용됩니다. 설정 기억하기가 켜져 "
           "있을 때만 유지됩니다."));
    languageList_->setCurrentIndex(int(RememberedLanguage(profile_)));
    place(languageList_, IDC_OPT_LANGUAGE, 66, 232, 111, kComboHeight, false);
    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setDefault(true);
    place(okButton_, 1, 85, 252, 50, 14, true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setAutoDefault(false);
    place(cancelButton_, 2, 153, 252, 50, 14, true);
}

void Option::fitToScreen(const QWidget* parent) {
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen != nullptr ? screen->availableGeometry().size() -
                                               QSize(kFrameAllowanceX, kFrameAllowanceY)
                                         : QSize();
    // The largest font that fits, each size first with the fields at their natural height,
    // then with fields as low as their text allows.
    for (int points = kFontPoints;; --points) {
        setFont(DialogFont(points));
        bool fits = false;
        for (const bool compact : {false, true}) {
            layoutTemplate(compact);
            fits = !room.isValid() || (width() <= room.width() && height() <= room.height());
            if (fits) break;
        }
        if (fits || points <= kSmallestFontPoints) break;
    }
}

void Option::fillCameras(int cameraRow) {
    // The cameras: every listed row with a name.
    int selected = -1;
    for (int row = 0; row < std::min(settings_.deviceCount, MAX_DEVICES); ++row) {
        const std::string& name = settings_.devices[row].friendlyName;
        if (name.empty()) continue;
        if (row == cameraRow && name == settings_.cameraName) selected = int(rowOfEntry_.size());
        rowOfEntry_.push_back(row);
        m_cameraList->addItem(QString::fromStdString(name));
    }
    if (selected < 0)
        selected = m_cameraList->findText(QString::fromStdString(settings_.cameraName),
                                          Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (m_cameraList->count() > 0) m_cameraList->setCurrentIndex(std::max(selected, 0));
    fillModes(settings_.resolutionMode);
    connect(m_cameraList, &QComboBox::currentIndexChanged, this,
            [this] { fillModes(m_modeList->currentText().toStdString()); });
}

QWidget* Option::control(int id) const {
    for (const Placed& p : placed_)
        if (p.widget->property("controlId").toInt() == id) return p.widget;
    return nullptr;
}

void Option::layoutTemplate(bool compact) {
    // Dialog units of the font: a quarter of the average letter width, an eighth of the line
    // height. Where a text needs more room than its template width, every horizontal unit
    // grows alike, so nothing is cut; where fields taller than their template rows would meet
    // (a small font keeps the fields' frames), the vertical unit grows until they do not.
    const QFontMetricsF metrics(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    double unitX = metrics.horizontalAdvance(letters) / 52.0 / 4.0;
    double unitY = metrics.height() / 8.0;
    for (const Placed& p : placed_)
        if (p.fitText) unitX = std::max(unitX, p.widget->sizeHint().width() / double(p.w));
    auto px = [](double units, double unit) { return int(std::lround(units * unit)); };
    std::vector<QRect> rects(placed_.size());
    for (int attempt = 0; attempt < 40; ++attempt) {
        for (std::size_t i = 0; i < placed_.size(); ++i) {
            const Placed& p = placed_[i];
            const int x = px(p.x, unitX);
            int y = px(p.y, unitY);
            int h = px(p.y + p.h, unitY) - y;
            if (qobject_cast<QGroupBox*>(p.widget) == nullptr) {
                // Fields keep the middle of their template row and the height their text needs.
                int need = p.widget->sizeHint().height();
                if (compact) need = std::min(need, int(std::ceil(metrics.height())) + 6);
                if (need > h) {
                    y -= (need - h) / 2;
                    h = need;
                }
            }
            rects[i] = QRect(x, y, px(p.x + p.w, unitX) - x, h);
        }
        bool overlap = false;
        for (std::size_t i = 0; i < rects.size() && !overlap; ++i)
            for (std::size_t j = i + 1; j < rects.size() && !overlap; ++j)
                overlap = qobject_cast<QGroupBox*>(placed_[i].widget) == nullptr &&
                          qobject_cast<QGroupBox*>(placed_[j].widget) == nullptr &&
                          rects[i].intersects(rects[j]);
        if (!overlap) break;
        unitY *= 1.05;
    }
    int bottom = 0;
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        placed_[i].widget->setGeometry(rects[i]);
        bottom = std::max(bottom, rects[i].bottom() + 1);
    }
    setFixedSize(px(kTemplateWidth, unitX), std::max(px(kTemplateHeight, unitY), bottom + 8));
}

void Option::writeControls() {
    if (values_.hideAfterCapture < 0 || values_.hideAfterCapture > 2) values_.hideAfterCapture = 0;
    hideCheck_->setTristate(values_.hideAfterCapture == 2);
    hideCheck_->setCheckState(values_.hideAfterCapture == 2   ? Qt::PartiallyChecked
                              : values_.hideAfterCapture == 1 ? Qt::Checked
                                                              : Qt::Unchecked);
    qualityEdit_->setText(QString::number(values_.quality));
    cropHeightEdit_->setText(QString::number(values_.cropHeight));
    cropWidthEdit_->setText(QString::number(values_.cropWidth));
    nameRule_.fileName->setText(QString::fromStdString(values_.fileName));
    savePathEdit_->setText(QString::fromStdString(values_.savePath));
}

bool Option::readControls() {
    auto fail = [this](QLineEdit* field, const char* message) {
        prompts_.notice(kCaption, tr(message).toStdString());
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    };
    const Qt::CheckState hide = hideCheck_->checkState();
    values_.hideAfterCapture = hide == Qt::Checked ? 1 : hide == Qt::PartiallyChecked ? 2 : 0;
    if (!ParseInteger(qualityEdit_->text(), values_.quality))
        return fail(qualityEdit_, kEnterInteger);
    if (!ParseInteger(cropHeightEdit_->text(), values_.cropHeight))
        return fail(cropHeightEdit_, kEnterInteger);
    // Compared unsigned, as the quality range check always has: negative values fail too.
    if (static_cast<unsigned>(values_.quality) < 1u || static_cast<unsigned>(values_.quality) > 99u)
        return fail(qualityEdit_, kEnterQualityRange);
    if (!ParseInteger(cropWidthEdit_->text(), values_.cropWidth))
        return fail(cropWidthEdit_, kEnterInteger);
    values_.fileName = nameRule_.fileName->text().toStdString();
    values_.savePath = savePathEdit_->text().toStdString();
    return true;
}

void Option::UpdateControls() {
    QRadioButton* checked = values_.nameMode == kNameFixed       ? nameRule_.fixed
                            : values_.nameMode == kNameTimeStamp ? nameRule_.timeStamp
                            : values_.nameMode == kNameAsk       ? nameRule_.ask
                                                                 : nullptr;
    if (checked == nullptr) return;  // a rule the ini gave outside 0..2: nothing shown
    checked->setChecked(true);
    nameRule_.fileName->setEnabled(values_.nameMode == kNameFixed);
}

void Option::onNameMode(int mode) {
    // Only the rule changes: what was typed in the other fields stays as typed.
    values_.nameMode = mode;
    UpdateControls();
}

int Option::selectedRow() const {
    const int entry = m_cameraList->currentIndex();
    return entry >= 0 && entry < int(rowOfEntry_.size()) ? rowOfEntry_[entry] : -1;
}

void Option::fillModes(const std::string& keep) {
    const int row = selectedRow();
    const std::vector<ModeSize> sizes =
        modesOf_ && row >= 0 ? modesOf_(row) : std::vector<ModeSize>{};
    m_modeList->clear();
    int selected = 0;
    for (const ModeSize& size : sizes) {
        const QString text = QString::fromStdString(FormatString("%d*%d", size.width, size.height));
        if (text.toStdString() == keep) selected = m_modeList->count();  // the last one wins
        m_modeList->addItem(text);
    }
    if (m_modeList->count() > 0) m_modeList->setCurrentIndex(selected);
}

void Option::OnBrowse() {
    // A field that does not read shows its message; the folder is chosen all the same.
    readControls();
    std::string path = prompts_.folder(tr(kBrowseFolderTitle).toStdString(), values_.savePath);
    // A cancelled picker keeps the folder that was there, typed or not.
    if (path.empty()) return;
    values_.savePath = WithSlash(path);
    savePathEdit_->setText(QString::fromStdString(values_.savePath));
}

void Option::accept() {
    OnOK();
}

void Option::OnOK() {
    if (!readControls()) return;
    settings_.SetDefaults(desktopPath_);
    chosenRow_ = selectedRow();
    settings_.cameraName = chosenRow_ >= 0 ? m_cameraList->currentText().toStdString() : "";
    if (m_modeList->count() > 0) settings_.resolutionMode = m_modeList->currentText().toStdString();
    ParseResolution(settings_.resolutionMode, view_);
    if (settings_.cameraName.size() < 2) {
        prompts_.notice(kCaption, tr(kNoDeviceInfo).toStdString());
        settings_.cameraName.clear();
        chosenRow_ = -1;
    }
    settings_.jpegQuality = values_.quality;
    settings_.cropHeight = values_.cropHeight;
    settings_.cropWidth = values_.cropWidth;
    settings_.ClampCrop(view_, 0.9);
    // An empty folder would be the current folder, whatever that is: the home folder then.
    settings_.savePath =
        values_.savePath.empty() ? HomeFolder() : WithSlash(InProgramFolder(values_.savePath));
    settings_.fileName = values_.fileName;
    settings_.nameMode = values_.nameMode;
    settings_.hideAfterCapture = values_.hideAfterCapture;

    if (rememberCheck_->isChecked()) {
        const DeviceEntry* camera = chosenRow_ >= 0 ? &settings_.devices[chosenRow_] : nullptr;
        RememberedChoices choices = ChoicesOf(settings_, camera);
        choices.language = languageList_->currentIndex();
        StoreRememberedChoices(profile_, choices);
    } else {
        ForgetRememberedChoices(profile_);
    }
    // The choices hold until the program ends either way; only the next start would miss them.
    if (!profile_.sync())
        prompts_.notice(
            kCaption, tr(kRememberFailed).toStdString() + "\n" + profile_.fileName().toStdString());
    QDialog::accept();
}

}  // namespace vistrela
