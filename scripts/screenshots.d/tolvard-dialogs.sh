# Tolvard's About box and options dialog (sourced by scripts/screenshots).
#
# Xvfb runs no window manager, so Wine draws the window frames and captions itself.
"$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
shoot tolvard-about dialog_shots.exe about
shoot tolvard-options dialog_shots.exe options
