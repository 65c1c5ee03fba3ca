# Tolvard's first-run wizard pages and its tray menu (sourced by scripts/screenshots).
shoot tolvard-wizard-welcome tolvard_pictures.exe welcome
shoot tolvard-wizard-confirm tolvard_pictures.exe confirm
shoot tolvard-wizard-titles tolvard_pictures.exe titles
shoot tolvard-tray-menu tolvard_pictures.exe menu
