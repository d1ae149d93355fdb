// quick_help_panel.h - QuickHelpPanel, the small help panel that holds the mouse capture
// while it is open.
#pragma once

#include <cstdint>

#include "ui/bitmap_dialog.h"

class QuickHelpPanel : public BitmapDialog {
  public:
    // Creates the panel's window, modeless and hidden, under the owner dialog.
    QuickHelpPanel(uint32_t templateId, CDialog* owner);
    ~QuickHelpPanel() override;

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    void OnLButtonUp(UINT flags, POINT client);
    void OnRButtonUp(UINT flags, POINT client);
    void OnActivate(UINT state, HWND other, BOOL minimized);
    void KeepOpen() {}

    static const MessageMapEntry messageEntries[];
};
