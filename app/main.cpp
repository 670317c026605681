#include <windows.h>

#include "app/config_app.h"

// The one application object, constructed before WinMain runs.
static quarnel::ConfigApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return quarnel::RunApplication(instance); }
