#!/usr/bin/env bash
# Makes the Windows icons of both programs from their PNG pictures (draw_icons.py) with icotool (Debian's
# icoutils): kuranote.ico holds every size of the checklist's icon, the 256-pixel one kept as PNG, as
# Windows reads it; kuranote_conv.ico the converter's two sizes. Run it after draw_icons.py changes them.
set -euo pipefail
cd "$(dirname "$0")/.."
icotool -c -o windows/kuranote.ico icons/kuranote-16.png icons/kuranote-24.png kuranote.png \
    icons/kuranote-48.png icons/kuranote-64.png icons/kuranote-128.png -r icons/kuranote-256.png
icotool -c -o windows/kuranote_conv.ico conv16.png conv.png
