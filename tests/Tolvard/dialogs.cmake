# Tests of the options dialog, the About box and its link controls, on real dialog
# windows made from Tolvard's resources.
tolvane_test_helper(link_target SOURCES LinkTargetHelper.cpp)
# A winhlp32.exe with the hand cursor next to the test program, where LoadLibraryA
# looks first. Wine's own winhlp32.exe has no cursor 106, and Wine takes its own
# (builtin) one even over a file in the program's folder unless told to take that file.
tolvane_test(tolvard_dialogs_test
  SOURCES DialogsTestApp.cpp OptionsDialogTest.cpp AboutDialogTest.cpp
  LIBS tolvard_app tolvard_resources shellext_harness comctl32
  ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=;winhlp32.exe=n")
add_library(winhlp32_stub SHARED HelpCursorStub.c HelpCursorStub.rc)
set_target_properties(winhlp32_stub PROPERTIES PREFIX "" OUTPUT_NAME winhlp32 SUFFIX ".exe")
target_link_options(winhlp32_stub PRIVATE -static)
add_dependencies(tolvard_dialogs_test link_target winhlp32_stub)
