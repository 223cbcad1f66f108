// A real loupe window built the way start-up builds it, for in-process tests
// of the window procedure and the menu commands.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "loupe/state.h"

class LoupeWindowTest : public ::testing::Test {
  protected:
    // Settings as loaded from a missing file; tests adjust them before
    // calling create_loupe().
    void SetUp() override;
    void TearDown() override;
    HWND create_loupe();
    // Runs the command as the menu would.
    void command(UINT id);
    bool item_checked(UINT id);
    bool item_grayed(UINT id);
    std::string folder_;
    HWND loupe_ = nullptr;
};

// Resets the runtime state to what it is before start-up.
void reset_runtime_state();
