// The about dialog's link opener (the dialog procedure is in dialogs/dialogs.h).
#pragma once

// Opens an address with the shell; tests install their own to observe the
// click without starting a browser. nullptr restores the shell.
using LinkOpener = void (*)(const char* address);
LinkOpener set_link_opener(LinkOpener opener);
