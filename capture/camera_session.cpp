#include "capture/camera_session.h"

#include <algorithm>

namespace vistrela {

void CameraSession::firstPicture() {
    state_ = CameraState::Running;
    retryIntervalMs_ = kRetryIntervalMs;
}

bool CameraSession::noCamera() {
    const bool starts = state_ != CameraState::Searching;
    state_ = CameraState::Searching;
    return starts;
}

CameraFailure CameraSession::failed() {
    switch (state_) {
        case CameraState::Opening:
            state_ = CameraState::Lost;
            backOff();
            return CameraFailure::FailedStart;
        case CameraState::Running:
            state_ = CameraState::Lost;
            return CameraFailure::Lost;
        default:
            return CameraFailure::StillAway;
    }
}

void CameraSession::attemptFailed() {
    backOff();
}

void CameraSession::backOff() {
    retryIntervalMs_ = std::min(retryIntervalMs_ * 2, kRetryMaxIntervalMs);
}

}  // namespace vistrela
