// wait_cursor.h - CWaitCursor, the hourglass for the length of one scope.
#pragma once

#include <windows.h>

// Shows the system's wait cursor from construction to destruction and then puts back the
// cursor that was current before. Scopes nest: each guard restores what it found.
class CWaitCursor {
  public:
    // 32514 is the system wait cursor, IDC_WAIT.
    CWaitCursor() : previous(::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}
    ~CWaitCursor() { ::SetCursor(previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

  private:
    HCURSOR previous;
};
