#!/usr/bin/env bash
# The browser edition tested as a surveyor uses it: the page built by tools/build-web.sh, opened
# from disk in Debian's Chromium driven by playwright-core (web/tests, pinned in its lock file),
# and every script, drawing and message compared with the native command-line tool of the
# Linux build given.
# Usage: tools/test-web.sh [LINUX_BUILD]    (default: build)
# KARUMENIO_WEB_SHEETS sets how many generated sheets go through the page (default 60).
# KARUMENIO_PAGE names a page already built (tools/check-web-core.sh builds one in
# build-web-tests/); without it tools/build-web.sh builds build-web/karumenio.html.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
linux_build=$(realpath "${1:-$top/build}")
started=$SECONDS

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
need_packages "${packages_browser[@]}"
if ! command -v npm >/dev/null; then
    need_packages npm
fi
if [[ ! -x $linux_build/cli/karumenio-cli ]]; then
    echo "$linux_build/cli/karumenio-cli missing: build the Linux tree first" >&2
    exit 2
fi

page=${KARUMENIO_PAGE:-}
if [[ -z $page ]]; then
    "$top/tools/build-web.sh"
    page=$top/build-web/karumenio.html
fi
page=$(realpath "$page")

cd "$top/web/tests"
# Only what the lock file names; Playwright's own browsers are never fetched.
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
KARUMENIO_CLI=$linux_build/cli/karumenio-cli KARUMENIO_PAGE=$page \
    node --test --test-concurrency=1 ./*.test.mjs
elapsed=$((SECONDS - started))
printf 'Browser edition tested in Chromium: %d min %02d s\n' $((elapsed / 60)) $((elapsed % 60))
