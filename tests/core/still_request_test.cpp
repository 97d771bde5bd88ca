#include "stills/still_request.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vistrela;

namespace {

class NoPrompts : public Prompts {
public:
    void notice(const std::string&, const std::string&) override {}
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        return {};
    }
    std::string folder(const std::string&, const std::string&) override { return {}; }
};

}  // namespace

TEST(StillCapture, RemotePicturesAreRefusedOrAnsweredAndNeverLost) {
    StillCapture stills(false, {});
    std::vector<std::pair<bool, std::string>> answers;
    auto reply = [&](bool ok, const std::string& message) { answers.push_back({ok, message}); };
    stills.captureInto("/tmp/a.jpg", reply, false);
    EXPECT_EQ(stills.pending(), StillRequest::None);
    stills.captureInto("/tmp/a.jpg", reply, true);
    stills.request();  // the user's save joins the pending remote picture
    EXPECT_EQ(stills.pending(), StillRequest::Remote);
    stills.captureInto("/tmp/b.jpg", reply, true);
    stills.windowClosing();
    EXPECT_EQ(stills.pending(), StillRequest::None);
    const std::vector<std::pair<bool, std::string>> expected = {
        {false, "no camera is open"},
        {false, "another picture is being taken"},
        {false, "the viewer was closed"}};
    EXPECT_EQ(answers, expected);
}

TEST(StillCapture, CancelledSaveDialogSavesNothingAndAOneShotFailureEndsTheRunWithOne) {
    NoPrompts prompts;
    ViewState view;
    Settings settings;
    CxImage picture;
    settings.nameMode = kNameAsk;  // the save dialog is cancelled
    StillCapture user(false, {});
    user.request();
    EXPECT_EQ(user.saveIfRequested(picture, settings, "/tmp", view, prompts), AfterStill::Nothing);
    EXPECT_EQ(user.pending(), StillRequest::None);

    StillCapture oneShot(true, "/nonexistent-folder/one.jpg");
    oneShot.request();
    EXPECT_EQ(oneShot.saveIfRequested(picture, settings, "/tmp", view, prompts), AfterStill::Close);
    EXPECT_EQ(oneShot.exitStatus(), 1);
}
