// setup_dialog.h - SetupDialog, the program's one main window, and its report of an
// installation to the user.
#pragma once

#include <cstdint>
#include <memory>

#include "app/install_state.h"
#include "ui/bitmap_dialog.h"
#include "ui/progress_meter.h"
#include "ui/quick_help.h"

class SetupDialog : public BitmapDialog, public InstallObserver {
  public:
    // Creates the window, modeless and without parent; the template makes it visible.
    explicit SetupDialog(uint32_t templateId);
    ~SetupDialog() override;

    BOOL OnInitDialog() override;
    // Replaces the text of a status control so that the new text is on screen on return
    // and nothing of the old one is left.
    void SetStatusText(int32_t controlId, const char* text);
    using BitmapDialog::FocusControl;
    void FocusControl(int32_t controlId);
    // Releases the meter, asks the message loop to end and destroys the window.
    void CloseDialog();

    void ShowStatus(const char* text) override;
    void SetProgress(int percent) override;
    void ReportFailure(const char* text) override;
    void ReportPathFailure(const char* text) override;
    void ShowFinished() override;

    ProgressMeter* Meter() const { return meter.get(); }
    const QuickHelpEntry* QuickHelpTable() const { return quickHelpTable; }

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    void OnPaint();
    void OnContextMenu(HWND window, POINT screen);
    void OnInstall();

    std::unique_ptr<ProgressMeter> meter;
    // The panels of the items that have their own; ShowFinished points the Abort button's
    // row at the Exit panel.
    QuickHelpEntry quickHelpTable[4];

    static const MessageMapEntry messageEntries[];
};
