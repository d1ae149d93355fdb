// bitmap_dialog.h - BitmapDialog, the base of every dialog of the program: a tiled bitmap
// background, transparent static controls, placement by a centering mode and an initial
// focus control.
#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "framework/gdi.h"

// Every dialog moves the mouse pointer onto the control that it gives the focus. Nothing
// changes this at run time.
constexpr bool MovePointerToFocus = true;

// Centering modes: 0 leaves the dialog where its template puts it; 2 centres it horizontally
// with the bottom margin equal to the side margin; any other value centres it both ways.
constexpr int8_t kCenterNone = 0;
constexpr int8_t kCenterBoth = 1;
constexpr int8_t kCenterAboveBottom = 2;

class BitmapDialog : public CDialog {
  public:
    // Loads the background bitmap (0: none) and takes the hollow brush for it, but does not
    // create the window: each derived constructor does, from the same template and parent.
    BitmapDialog(uint32_t templateId, uint32_t bitmapId, CWnd* parent, int8_t centeringMode,
                 int32_t initialFocus, bool movePointer);
    ~BitmapDialog() override;

    BOOL OnInitDialog() override;
    // Places the dialog by its centering mode, relative to the parent or to the desktop.
    void CenterDialog();
    // Gives a control of any dialog the focus the way keyboard navigation does; caretToEnd
    // leaves nothing selected and the caret behind the text of an edit field; movePointer
    // puts the mouse pointer on the control's centre.
    static void FocusControl(CDialog* dialog, int32_t controlId, bool movePointer, bool caretToEnd);

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    HBRUSH OnCtlColor(CDC& dc, HWND control, UINT kind);
    BOOL OnEraseBkgnd(CDC& dc);

    CBitmap background;
    CBrush transparentBrush;
    CWnd* parent;
    uint32_t templateId;
    int32_t initialFocus;
    uint32_t bitmapId;
    bool movePointer;
    int8_t centeringMode;

    static const MessageMapEntry messageEntries[];
};
