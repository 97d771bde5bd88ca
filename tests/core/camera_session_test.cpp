#include "capture/camera_session.h"

#include <gtest/gtest.h>

using namespace vistrela;

TEST(CameraSession, LossIsSaidOnceAndFailedStartsSpaceOutTheAttempts) {
    CameraSession s;
    s.opened();
    s.firstPicture();
    EXPECT_EQ(s.state(), CameraState::Running);
    EXPECT_EQ(s.failed(), CameraFailure::Lost);
    EXPECT_EQ(s.failed(), CameraFailure::StillAway);  // a second report says nothing new
    EXPECT_EQ(s.state(), CameraState::Lost);
    EXPECT_FALSE(s.anyCameraWillDo());
    EXPECT_EQ(s.retryIntervalMs(), 2000);

    // A camera that is listed but never sends a picture: 4, 8, 16, then 30 s at most.
    for (int expected : {4000, 8000, 16000, 30000, 30000}) {
        s.opened();
        EXPECT_EQ(s.failed(), CameraFailure::FailedStart);
        EXPECT_EQ(s.state(), CameraState::Lost);
        EXPECT_EQ(s.retryIntervalMs(), expected);
    }
    s.opened();
    s.firstPicture();
    EXPECT_EQ(s.retryIntervalMs(), 2000);  // a picture starts the spacing afresh
}

TEST(CameraSession, SearchingStartsOnceAndAnyCameraWillDo) {
    CameraSession s;
    EXPECT_EQ(s.state(), CameraState::Idle);
    EXPECT_TRUE(s.noCamera());
    EXPECT_FALSE(s.noCamera());  // the notice is due once
    EXPECT_TRUE(s.anyCameraWillDo());
    s.attemptFailed();
    EXPECT_EQ(s.retryIntervalMs(), 4000);
    s.opened();
    EXPECT_FALSE(s.anyCameraWillDo());
    EXPECT_EQ(s.state(), CameraState::Opening);
}
