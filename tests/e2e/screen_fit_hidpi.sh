#!/usr/bin/env bash
# The window fits the screen it starts on, frame included, on a 2560x1440 screen at scale 2 with a 1280x720 camera; full screen
# covers the screen and the way back leaves the frame on the screen again.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/screen_fit.sh"
check_screen 2560x1440 "Doc Cam@1280x720@30" 2
echo "1 passed, 0 failed"
