#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/program.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    InitCommonControls();
    SetAppInstance(GetModuleHandleA(nullptr));
    RegisterWindowClasses();
    return RUN_ALL_TESTS();
}
