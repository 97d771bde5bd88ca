#include "stills/still_capture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include "common/prompts.h"

using namespace vistrela;

namespace {

class ScriptedPrompts : public Prompts {
public:
    std::string answer;
    int asked = 0;
    void notice(const std::string&, const std::string&) override {}
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        ++asked;
        return answer;
    }
    std::string folder(const std::string&, const std::string&) override { return {}; }
};

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

CxImage picture(int w, int h) {
    CxImage img;
    img.Create(w, h);
    return img;
}

}  // namespace

TEST(StillNames, ThreeNamingRulesWithAnInjectedClock) {
    QTemporaryDir dir;
    Settings s;
    s.savePath = dir.path().toStdString() + "/";
    s.fileName = "fixed.jpg";
    const std::time_t when = localTime(2001, 3, 5, 11, 1, 45);

    s.nameMode = kNameTimeStamp;
    EXPECT_EQ(StillFileName(s, when, StderrPrompts()), s.savePath + "20010305_110145.jpg");

    s.nameMode = kNameFixed;
    EXPECT_EQ(StillFileName(s, when, StderrPrompts()), s.savePath + "fixed.jpg");

    ScriptedPrompts asked;
    s.nameMode = kNameAsk;
    asked.answer = "/somewhere/else.jpg";
    EXPECT_EQ(StillFileName(s, when, asked), "/somewhere/else.jpg");
    asked.answer = "";
    EXPECT_EQ(StillFileName(s, when, asked), "");  // cancelled: nothing is saved
    EXPECT_EQ(asked.asked, 2);

    s.nameMode = 7;  // a value the ini may give: the folder itself, as read
    EXPECT_EQ(StillFileName(s, when, StderrPrompts()), s.savePath);
}

TEST(StillNames, FolderWithoutSlashAndTakenTimeStampNames) {
    QTemporaryDir dir;
    Settings s;
    s.savePath = dir.path().toStdString();  // from the ini: no trailing slash
    s.nameMode = kNameTimeStamp;
    const std::time_t when = localTime(2024, 12, 31, 23, 59, 59);
    const std::string first = StillFileName(s, when, StderrPrompts());
    EXPECT_EQ(first, s.savePath + "/20241231_235959.jpg");

    // Two pictures in the same second: the second one gets a suffix instead of overwriting.
    QFile(QString::fromStdString(first)).open(QIODevice::WriteOnly);
    EXPECT_EQ(StillFileName(s, when, StderrPrompts()), s.savePath + "/20241231_235959_2.jpg");
    QFile(QString::fromStdString(s.savePath + "/20241231_235959_2.jpg")).open(QIODevice::WriteOnly);
    EXPECT_EQ(StillFileName(s, when, StderrPrompts()), s.savePath + "/20241231_235959_3.jpg");
}

TEST(StillSave, WritesAJpegOfThePictureSizeAndSaysSo) {
    QTemporaryDir dir;
    ViewState view;
    const std::string path = dir.path().toStdString() + "/shot.jpg";
    const StillOutcome out =
        SaveStill(picture(480, 640), path, 99, dir.path().toStdString(), view, 1000.0);
    EXPECT_TRUE(out.written);
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.size(), QSize(480, 640));
    EXPECT_EQ(view.statusText, kSavedMessage);
    EXPECT_DOUBLE_EQ(view.statusUntil, 1000.0 + kStatusSeconds);
    EXPECT_EQ(view.notice.ShownText(1000.0), std::string(kSavedMessage) + "\nshot.jpg");
    EXPECT_EQ(view.notice.ShownText(1000.0 + kNoticeSeconds), "");
}

TEST(StillSave, AFailedWriteIsReportedUntilTheNextClick) {
    ViewState view;
    const std::string path = "/nonexistent-folder/x/shot.jpg";
    const StillOutcome out = SaveStill(picture(64, 48), path, 99, "/d", view, 5.0);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(view.statusText, kSaveFailedMessage);
    EXPECT_EQ(view.notice.ShownText(5.0 + 3600.0), std::string(kSaveFailedMessage) + "\n" + path);
    view.notice.Dismiss();
    EXPECT_EQ(view.notice.ShownText(5.0), "");

    // Quality values the ini may give (0, 300) still write a file.
    QTemporaryDir dir;
    for (int q : {0, 1, 300}) {
        const std::string file = dir.path().toStdString() + "/q" + std::to_string(q) + ".jpg";
        EXPECT_TRUE(SaveStill(picture(64, 48), file, q, "/d", view, 5.0).written) << q;
    }
    // An empty name (cancelled dialog) writes nothing and leaves the title alone.
    view.statusText.clear();
    EXPECT_FALSE(SaveStill(picture(64, 48), "", 99, "/d", view, 5.0).written);
    EXPECT_TRUE(view.statusText.empty());
}
