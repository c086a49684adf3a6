// container.h: windowed controls that hold other controls.
//
//   Container    paints its background colour and its graphic children (double-buffered),
//                routes mouse and cursor to them, and hands the notifications of standard
//                child windows back to them. A windowed child made later lies above the
//                ones made before it, where they overlap.
//   Panel        a container with a background colour
//   Form         the top-level window: fixed border, caption with close box and system menu
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/handles.h"
#include "win/ui/control.h"

namespace setup::win::ui {

class Container : public WindowedControl {
public:
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    void InvalidateArea(const Rect& r);
    // Paints what is invalid now (UpdateWindow).
    void Update();

    // Registration by the children themselves (constructor and destructor).
    void AddGraphic(GraphicControl* c);
    void RemoveGraphic(GraphicControl* c);
    void AddWindowed(WindowedControl* c);
    void RemoveWindowed(WindowedControl* c);
    // A windowed child was shown, hidden or moved: the children under it are clipped anew.
    void Restack();

protected:
    Container(Container* parent, const Rect& bounds, COLORREF color);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Paint(HDC dc, const RECT& area);

    static constexpr WindowClass kClass{L"ZsContainer"};

private:
    GraphicControl* GraphicAt(POINT p) const;
    void MouseMove(POINT p);
    void SetHover(GraphicControl* c);
    bool Reflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    COLORREF color_;
    UniqueBrush brush_;
    std::vector<GraphicControl*> graphics_;
    std::vector<WindowedControl*> windowed_;
    std::vector<HWND> clipped_;  // children whose window region cuts out later siblings
    GraphicControl* hover_ = nullptr;
    GraphicControl* pressed_ = nullptr;
};

class Panel : public Container {
public:
    Panel(Container* parent, const Rect& bounds, COLORREF color);
};

class Form : public Container {
public:
    // client: the size of the client area; the window is centred on the primary work area.
    Form(HWND owner, int client_width, int client_height, COLORREF color, HICON icon);

    void SetCaption(const std::string& gbk);

    std::function<bool()> on_close_query;  // true lets the window close
    std::function<void()> on_first_show;
    std::function<void()> on_destroy;
    // What closing does once allowed (for the wizard: end the program).
    std::function<void()> on_close;

protected:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    bool shown_ = false;
    HWND last_focus_ = nullptr;  // given back when the window is activated again
};

}  // namespace setup::win::ui
