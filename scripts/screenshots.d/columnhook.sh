# The description column: an Explorer-shaped folder window in details view, its
# hook installed from the built Tolvane.dll, the column filled from DESCRIPT.ION.
shoot columnhook columnhook_show.exe
