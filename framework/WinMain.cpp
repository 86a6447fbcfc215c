#include "framework/App.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = GetApp();
    return app ? app->Main(hInstance) : 1;
}
