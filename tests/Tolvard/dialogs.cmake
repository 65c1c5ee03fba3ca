# Tests of the options dialog, the About box and its link controls, on real dialog
# windows made from Tolvard's resources.
if(NOT TARGET afx OR NOT TARGET tolvard_core)
  return()
endif()
tolvane_test_helper(link_target SOURCES LinkTargetHelper.cpp)
tolvane_test(tolvard_dialogs_test
  SOURCES DialogsTestApp.cpp OptionsDialogTest.cpp AboutDialogTest.cpp afx/Ticker.cpp ${TOLVARD_RC}
          ${CMAKE_SOURCE_DIR}/Tolvard/OptionsDlg.cpp ${CMAKE_SOURCE_DIR}/Tolvard/AboutDlg.cpp
          ${CMAKE_SOURCE_DIR}/Tolvard/StaticLink.cpp
  LIBS tolvard_core afx shell32 comctl32)
target_include_directories(tolvard_dialogs_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/afx
                                                        ${CMAKE_SOURCE_DIR}/Tolvard)
add_dependencies(tolvard_dialogs_test link_target)
