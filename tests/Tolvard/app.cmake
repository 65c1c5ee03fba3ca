# Tests of Tolvard's own Parts (the tray program): hook control, wizard, switches,
# tray icon, start-up and shutdown.
tolvane_test_helper(explorer_window SOURCES ExplorerWindowHelper.cpp)
add_library(hook_library SHARED HookLibraryHelper.cpp)
set_target_properties(hook_library PROPERTIES PREFIX "")
target_link_options(hook_library PRIVATE -static -Wl,--kill-at)

add_library(tolvard_test_support STATIC HookLibrary.cpp)
target_link_libraries(tolvard_test_support PUBLIC test_support)
target_include_directories(tolvard_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

tolvane_test(tolvard_wizard_test SOURCES ExplorerWizardTest.cpp
             LIBS tolvard_core tolvard_resources tolvard_test_support comctl32)
add_dependencies(tolvard_wizard_test explorer_window)
tolvane_test(tolvard_hookcontrol_test SOURCES HookControlTest.cpp CompanionTest.cpp
             LIBS tolvard_core tolvard_resources tolvard_test_support comctl32)
add_dependencies(tolvard_hookcontrol_test hook_library explorer_window)

tolvane_test(tolvard_app_test SOURCES TrayAppTest.cpp
             LIBS tolvard_app tolvard_resources tolvard_test_support comctl32)
add_dependencies(tolvard_app_test hook_library)

# Tolvard.exe itself, on a desktop with a notification area (Xvfb, a Wine desktop of
# its own prefix beside the tests' headless one): alone, since it starts a desktop.
tolvane_test(tolvard_tray_test SOURCES TrayProcessTest.cpp
             LIBS tolvard_app tolvard_resources tolvard_test_support shell32
             RUNNER ${CMAKE_CURRENT_SOURCE_DIR}/run-with-tray.sh ${CMAKE_BINARY_DIR}/wineprefix-tray ${WINE_LOADER}
             TIMEOUT 300 SERIAL)
add_dependencies(tolvard_tray_test hook_library)
