#!/usr/bin/env bash
# Pictures of the report options dialog and the report viewer after a run, and of the main
# window, one per tab, taken on a virtual X server (Xvfb) as the windows draw themselves on a
# desktop: docs/ravelo-report-options.png, docs/ravelo-report-viewer.png and
# docs/ravelo-tab-0.png ... docs/ravelo-tab-4.png, and of the help window, docs/ravelo-help-window.png.
# Needs the build (make all) and Debian's xvfb and xauth.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
mkdir -p docs
RAVELO_SCREENSHOTS="$PWD/docs" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$BUILD/tests/desktop/windows/main_window_tests" --gtest_also_run_disabled_tests \
  --gtest_filter='*DISABLED_SavesScreenshots*'
ls docs/ravelo-*.png
