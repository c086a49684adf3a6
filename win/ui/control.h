// control.h: the component model of the window layer.
//
//   Control          bounds, visibility and enabled state; setters store, then invalidate
//   GraphicControl   a control without a window, painted by its parent container
//   WindowedControl  a control with its own child window (owned; destroyed with the object)
//   HostedControl    a control whose child window another object owns (a self-drawn control
//                    of controls/ with a model of its own)
//
// Invalidate marks the control for the next paint; Repaint draws it at once, which long
// synchronous steps need because they keep the message loop from painting.
#pragma once

#include <windows.h>

#include <string>

#include "win/ui/window.h"

namespace setup::win::ui {

class Container;

class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& r);
    void SetTop(int top) { SetBounds(Rect::FromSize(bounds_.left, top, bounds_.width(), bounds_.height())); }
    void SetWidth(int width) { SetBounds(Rect::FromSize(bounds_.left, bounds_.top, width, bounds_.height())); }
    void SetSize(int width, int height) { SetBounds(Rect::FromSize(bounds_.left, bounds_.top, width, height)); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    Container* Parent() const { return parent_; }

    virtual void Invalidate() = 0;
    virtual void Repaint() = 0;

protected:
    Control(Container* parent, const Rect& bounds) : parent_(parent), bounds_(bounds) {}
    // Called after the stored value changed; the default repaints.
    virtual void BoundsChanged(const Rect& old);
    virtual void VisibleChanged() { Invalidate(); }
    virtual void EnabledChanged() { Invalidate(); }

    Container* parent_;
    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
};

class GraphicControl : public Control {
public:
    ~GraphicControl() override;

    // Draws into the parent's client coordinates; the parent has clipped to Bounds().
    virtual void Paint(HDC dc) = 0;
    // Mouse: only controls that answer true to WantsMouse get these.
    virtual bool WantsMouse() const { return false; }
    virtual HCURSOR Cursor() const { return nullptr; }
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void Click() {}

    void Invalidate() override;
    void Repaint() override;

protected:
    GraphicControl(Container* parent, const Rect& bounds);
    void BoundsChanged(const Rect& old) override;
    void VisibleChanged() override;
};

class WindowedControl : public Control, public Window {
public:
    ~WindowedControl() override;

    void Invalidate() override;
    void Repaint() override;
    void Focus();

    // Messages that a standard control sends to its parent (WM_COMMAND, WM_CTLCOLOR...),
    // handed back to it. Returns true when handled, with the result in `result`.
    virtual bool Reflect(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

protected:
    WindowedControl(Container* parent, const Rect& bounds);
    // Creates the child window at Bounds(): one of our classes, whose messages then come to
    // OnMessage, or a system class. Throws setup::Error when it cannot be made.
    void CreateHandle(DWORD ex_style, const WindowClass& window_class, DWORD style);
    void CreateHandle(DWORD ex_style, const wchar_t* system_class, DWORD style, const std::wstring& text = {});
    // A top-level window of ours (owner instead of parent).
    void CreateTopLevel(DWORD ex_style, const WindowClass& window_class, DWORD style, HWND owner, const Rect& outer,
                        const std::wstring& text);

    void BoundsChanged(const Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;

private:
    DWORD ChildStyle(DWORD style) const;
};

// A self-drawn control whose window sits in the parent container, as a component of this
// layer: the component keeps the state the view reads (Visible, Enabled, Bounds) and hands
// every change to the window. A window that is hidden first hands on a focus it holds.
class HostedControl : public Control {
public:
    void Invalidate() override;
    void Repaint() override;

protected:
    using Control::Control;
    virtual HWND HostedWindow() const = 0;
    void BoundsChanged(const Rect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
};

// Before a window is hidden: when the focus is in it, hands the focus on to the next control
// of the top-level window (as a dialog does), or to the top-level window itself.
void MoveFocusFrom(HWND window);

}  // namespace setup::win::ui
