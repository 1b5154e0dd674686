#!/usr/bin/env bash
# The demo, as `make run`, on any Debian 12, one without make included: installs make if need be.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh make
exec make run
