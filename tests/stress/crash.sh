#!/usr/bin/env bash
# The long crash test: 100 Express runs killed with kill -9 at random moments, each followed by a
# restore of its backup and a comparison with the machine before (a few minutes).
set -euo pipefail
cd "$(dirname "$0")/../.."
exec bash tests/fault/crash.sh 100 "$@"
