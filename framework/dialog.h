// dialog.h - CDialog, a modeless dialog from a template, and the message maps that route
// its messages to typed handlers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/gdi.h"
#include "framework/wnd.h"

// The one message for all control colour requests: WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC
// arrive at the handler of this message with the kind of control (CTLCOLOR_STATIC, ...).
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

class CDialog;

// A handler is a member function of the dialog; its signature says how the message's
// parameters are unpacked and how its result is returned.
struct MessageHandler {
    enum Kind : uint8_t {
        Default,         // the platform's default processing
        Plain,           // void ()
        Point,           // void (UINT flags, POINT client) - mouse buttons
        WindowPoint,     // void (HWND window, POINT screen) - WM_CONTEXTMENU
        ControlColour,   // HBRUSH (CDC& dc, HWND control, UINT kind) - WM_CTLCOLOR
        EraseBackground, // BOOL (CDC& dc) - WM_ERASEBKGND
        Activate,        // void (UINT state, HWND other, BOOL minimized) - WM_ACTIVATE
    };
    using PlainFn = void (CDialog::*)();
    using PointFn = void (CDialog::*)(UINT, POINT);
    using WindowPointFn = void (CDialog::*)(HWND, POINT);
    using ControlColourFn = HBRUSH (CDialog::*)(CDC&, HWND, UINT);
    using EraseBackgroundFn = BOOL (CDialog::*)(CDC&);
    using ActivateFn = void (CDialog::*)(UINT, HWND, BOOL);

    constexpr MessageHandler() : kind(Default), plain(nullptr) {}
    template <class D>
    constexpr MessageHandler(void (D::*f)()) : kind(Plain), plain(static_cast<PlainFn>(f)) {}
    template <class D>
    constexpr MessageHandler(void (D::*f)(UINT, POINT))
        : kind(Point), point(static_cast<PointFn>(f)) {}
    template <class D>
    constexpr MessageHandler(void (D::*f)(HWND, POINT))
        : kind(WindowPoint), windowPoint(static_cast<WindowPointFn>(f)) {}
    template <class D>
    constexpr MessageHandler(HBRUSH (D::*f)(CDC&, HWND, UINT))
        : kind(ControlColour), controlColour(static_cast<ControlColourFn>(f)) {}
    template <class D>
    constexpr MessageHandler(BOOL (D::*f)(CDC&))
        : kind(EraseBackground), eraseBackground(static_cast<EraseBackgroundFn>(f)) {}
    template <class D>
    constexpr MessageHandler(void (D::*f)(UINT, HWND, BOOL))
        : kind(Activate), activate(static_cast<ActivateFn>(f)) {}

    Kind kind;
    union {
        PlainFn plain;
        PointFn point;
        WindowPointFn windowPoint;
        ControlColourFn controlColour;
        EraseBackgroundFn eraseBackground;
        ActivateFn activate;
    };
};

// Stands in a map row for "the platform's default processing".
constexpr MessageHandler DefaultProcessing{};

// One row: a message (with the command id for WM_COMMAND, else 0) and its handler.
// A row whose message is 0 ends the table.
struct MessageMapEntry {
    UINT message;
    UINT id;
    MessageHandler handler;
};

// A class's own rows and its base class's map, searched when no row of its own matches.
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
};

// A modeless dialog made from a template resource of the program's own module. The object
// owns its window from Create until the window is destroyed; destroying the object destroys
// a window that still exists.
class CDialog : public CWnd {
  public:
    CDialog() = default;
    ~CDialog() override;

    // Creates the window, modeless; OnInitDialog runs before this returns.
    bool Create(uint32_t templateId, CWnd* parent);
    // Runs once the controls exist; true lets the platform put the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }

  protected:
    // The platform's default processing of the message being handled.
    LRESULT Default();

    static const MessageMap messageMap;

  private:
    // The message being handled, innermost first; handlers may send messages to their own
    // window (UpdateWindow paints at once), so this is a stack threaded through the calls.
    struct CurrentMessage {
        HWND window;
        WNDPROC platformProc;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Invoke(const MessageHandler& handler, WPARAM wParam, LPARAM lParam);

    WNDPROC platformProc = nullptr;
    static const CurrentMessage* current;
    static const MessageMapEntry messageEntries[];
};
