# The shell extension: the context-menu entry, the edit dialog and the property
# page for a sample file (sourced by scripts/screenshots).
#
# Xvfb runs no window manager, so Wine has to draw the window frames and
# captions itself.
"$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
shoot shellext-menu shellext_shots.exe menu
shoot shellext-dialog shellext_shots.exe dialog
shoot shellext-page shellext_shots.exe page
