// The program's entry point and its one application object.
#include <windows.h>

#include "app/LookupApp.h"
#include "framework/Application.h"

LookupApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return fw::RunApplication(); }
