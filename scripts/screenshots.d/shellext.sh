# The shell extension: the context-menu entry, the edit dialog and the property
# page for a sample file (sourced by scripts/screenshots).
shoot shellext-menu shellext_shots.exe menu
shoot shellext-dialog shellext_shots.exe dialog
shoot shellext-page shellext_shots.exe page
