# Tolvard's About box and options dialog (sourced by scripts/screenshots).
shoot tolvard-about dialog_shots.exe about
shoot tolvard-options dialog_shots.exe options
