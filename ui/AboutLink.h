// The program's icon in the Option dialog, which opens the About box: the hand over it and a
// tooltip "About " with the name of the application's window, like a link.
#pragma once

#include "ui/HoverLink.h"

class CAboutLink : public CHoverLink
{
public:
    CAboutLink() = default;
    ~CAboutLink() override = default;

protected:
    void PreSubclassWindow() override;
    bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnClicked();
};
