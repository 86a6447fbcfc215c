#include "framework/App.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR arguments, int)
{
    CWinApp* app = GetApp();
    return app ? app->Main(hInstance, arguments) : 1;
}
