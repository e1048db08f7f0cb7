// Placeholder until the options dialog is built.
#include "options/options_dialog.h"

int ShowOptionsDialog(HWND) { return 0; }
void RestyleNoteBorders() {}
