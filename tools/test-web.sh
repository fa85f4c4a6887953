#!/usr/bin/env bash
# The browser edition tested as a surveyor uses it: the page built by tools/build-web.sh, opened
# from disk in Debian's Chromium driven by playwright-core (web/tests, pinned in its lock file),
# and every script, drawing and message compared with the native command-line tool of the
# Linux build given.
# Usage: tools/test-web.sh [LINUX_BUILD]    (default: build)
# KARUMENIO_WEB_SHEETS sets how many generated sheets go through the page (default 60).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
linux_build=$(realpath "${1:-$top/build}")
started=$SECONDS

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
# The browser, pdfinfo and pdftotext for the printed page, Japanese fonts for the names.
need_packages chromium poppler-utils fonts-noto-cjk nodejs
if ! command -v npm >/dev/null; then
    need_packages npm
fi
if [[ ! -x $linux_build/cli/karumenio-cli ]]; then
    echo "$linux_build/cli/karumenio-cli missing: build the Linux tree first" >&2
    exit 2
fi

"$top/tools/build-web.sh"

cd "$top/web/tests"
# Only what the lock file names; Playwright's own browsers are never fetched.
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
KARUMENIO_CLI=$linux_build/cli/karumenio-cli KARUMENIO_PAGE=$top/build-web/karumenio.html \
    node --test --test-concurrency=1 ./*.test.mjs
elapsed=$((SECONDS - started))
printf 'Browser edition tested in Chromium: %d min %02d s\n' $((elapsed / 60)) $((elapsed % 60))
