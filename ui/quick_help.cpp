// quick_help.cpp - opening the panel for the item under the pointer, and closing it.
#include "ui/quick_help.h"

#include <algorithm>

#include "framework/dialog.h"
#include "ui/quick_help_panel.h"
#include "ui/quick_help_state.h"

QuickHelpState quickHelpState;

void RegisterQuickHelp(uint32_t panelBitmapId, HCURSOR cursor, uint32_t generalTemplateId) {
    quickHelpState.panelBitmapId = panelBitmapId;
    quickHelpState.cursor = cursor;
    quickHelpState.generalTemplateId = generalTemplateId;
}

namespace {

// The control id of the dialog's item at a screen point; 0 for the dialog itself and for a
// child that is both hidden and disabled.
int32_t ItemAt(CDialog* dialog, POINT screen) {
    POINT client = screen;
    dialog->ScreenToClient(&client);
    // Also finds hidden and disabled children; yields the dialog itself off every child.
    HWND found = ::ChildWindowFromPoint(dialog->hwnd, client);
    if (found == nullptr || found == dialog->hwnd)
        return 0;
    if (!::IsWindowVisible(found) && !::IsWindowEnabled(found))
        return 0;
    return ::GetDlgCtrlID(found);
}

// The panel template for an item: its row's, or the general path's (0 from the table or no
// row) which gives the general panel only when no panel was open.
uint32_t TemplateFor(int32_t item, const QuickHelpEntry* table, bool hadPanel) {
    if (item != 0) {
        for (const QuickHelpEntry* row = table; row->controlId != 0; ++row) {
            if (row->controlId == item) {
                if (row->templateId != 0)
                    return row->templateId;
                break;
            }
        }
    }
    return hadPanel ? 0 : quickHelpState.generalTemplateId;
}

} // namespace

void ShowQuickHelp(CDialog* dialog, int x, int y, QuickHelpEntry* table) {
    if (table == nullptr)
        return;
    POINT point{x, y};
    bool hadPanel = quickHelpState.openPanel != nullptr;
    bool inside = false;
    if (hadPanel) {
        RECT panel{};
        quickHelpState.openPanel->GetWindowRect(&panel);
        inside = ::PtInRect(&panel, point) != 0;
    }
    CloseQuickHelp();
    if (inside)
        return; // a right click inside the open panel only closes it

    // Title bar and frame included. A dialog whose window is gone (closed while a warning box
    // was up) has no rectangle, and no point lies in it.
    RECT bounds{};
    if (dialog->hwnd == nullptr || !::GetWindowRect(dialog->hwnd, &bounds) ||
        !::PtInRect(&bounds, point))
        return;
    uint32_t templateId = TemplateFor(ItemAt(dialog, point), table, hadPanel);
    if (templateId == 0)
        return;

    quickHelpState.savedFocus = ::GetFocus();
    quickHelpState.ownerDialog = dialog;
    quickHelpState.table = table;
    auto* panel = new QuickHelpPanel(templateId, dialog);
    quickHelpState.openPanel = panel;

    // The pointer lies just inside the panel's top-left corner, or just inside the opposite
    // corner on an axis where the panel would reach the dialog's edge.
    RECT size{};
    panel->GetWindowRect(&size);
    int pw = size.right - size.left;
    int ph = size.bottom - size.top;
    int left = x + pw < bounds.right ? x - 1 : std::max(x - pw, 0) + 2;
    int top = y + ph < bounds.bottom ? y - 1 : std::max(y - ph, 0) + 2;
    // Showing the panel activates it.
    panel->SetWindowPos(nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    // From now on every mouse button over the program's windows goes to the panel.
    ::SetCapture(panel->hwnd);
    if (quickHelpState.cursor != nullptr)
        ::SetCursor(quickHelpState.cursor);
}

void CloseQuickHelp() {
    QuickHelpPanel* panel = quickHelpState.openPanel;
    if (panel == nullptr)
        return;
    // Destroying the window ends the capture with it.
    ::DestroyWindow(panel->hwnd);
    quickHelpState.openPanel = nullptr;
    delete panel;
    ::SetFocus(quickHelpState.savedFocus);
}
