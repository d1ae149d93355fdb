/* edit-probe.c - the question scripts/wine-env asks of a Wine before it runs our 32-bit
 * programs: can a 32-bit program show text? It makes an edit control, sets its text, draws
 * it and reads it back. Exit 0 when all of that worked; a Wine that cannot do it crashes
 * here or exits 10 to 12. */
#include <string.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    static const char text[] = "Lexivane Setup: the 32-bit probe";
    char back[64] = "";
    HWND edit;
    (void)previous;
    (void)commandLine;
    (void)show;
    edit = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 80, NULL,
                           NULL, instance, NULL);
    if (edit == NULL)
        return 10;
    if (!SetWindowTextA(edit, text) ||
        !RedrawWindow(edit, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW))
        return 11;
    GetWindowTextA(edit, back, sizeof back);
    DestroyWindow(edit);
    return strcmp(back, text) == 0 ? 0 : 12;
}
