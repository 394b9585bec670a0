#!/usr/bin/env bash
# Runs a test program on a private X display of the size given, with a
# window manager, for its window tests that are skipped offscreen:
#   on_screen.sh 1024x768 test_app --gtest_filter='QuestionOnScreen*'
# Skipped (77) where the X tools are missing.
set -uo pipefail
size=$1
shift
source "$(dirname "$0")/x_session.sh"
start_x_session "$size"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$@"
