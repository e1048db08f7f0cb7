#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    InitCommonControls();
    SetAppInstance(GetModuleHandleA(nullptr));
    RegisterWindowClasses();
    return RUN_ALL_TESTS();
}
