// A real loupe window built the way start-up builds it, for in-process tests
// of the window procedure and the menu commands.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "loupe/state.h"
#include "tests/win32/settings_temp_folder.h"

class LoupeWindowTest : public ::testing::Test {
  protected:
    // Settings as loaded from a missing file; tests adjust them before
    // calling create_loupe().
    void SetUp() override;
    void TearDown() override;
    HWND create_loupe();
    // The same with the tick stopped: the test runs ticks by hand.
    HWND create_still_loupe();
    // Runs the command as the menu would.
    void command(UINT id);
    WinTempFolder folder_; // holds the settings file and the help path
    HWND loupe_ = nullptr;
};
