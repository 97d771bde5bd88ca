#!/usr/bin/env bash
# Starts the viewer. Without a camera on the machine it starts with a test camera so that a
# newcomer sees the live picture at once.
set -euo pipefail
bin="$1"
shift || true
if ! ls /dev/video* >/dev/null 2>&1 && [ -z "${VISTRELA_TEST_CAMERAS:-}" ]; then
  echo "No camera found: starting with a test camera."
  export VISTRELA_TEST_CAMERAS="Test Document Camera@1280x720,640x480@30"
fi
exec "$bin" "$@"
