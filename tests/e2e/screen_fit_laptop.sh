#!/usr/bin/env bash
# The window fits the screen it starts on, frame included, on a 1366x768 laptop screen with a 1920x1080 camera; full screen
# covers the screen and the way back leaves the frame on the screen again.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/screen_fit.sh"
check_screen 1366x768 "Doc Cam@1920x1080@30" 1
echo "1 passed, 0 failed"
