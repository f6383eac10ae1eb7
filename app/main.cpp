#include <windows.h>

#include "app/process_entry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunInstaller(instance); }
