#!/usr/bin/env bash
# Builds LMK Lumikon and starts it, with the picture file given, if any.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$top/scripts/setup.sh"
exec "$top/build/lumikon" "$@"
