// real_input.h - mouse clicks and key strokes through the platform's input path (SendInput),
// handled by the windows of this thread as a user's would be.
#pragma once

#include <windows.h>

#include <initializer_list>

// Moves the pointer to a screen point and presses and releases a mouse button there, in one
// batch so that nothing can move the pointer in between. The button events are routed as
// hardware input: to the window under the pointer, or to the window holding the capture.
// Returns false if the pointer did not arrive at the point.
bool LeftClickAt(POINT screen);
bool RightClickAt(POINT screen);

// Presses the keys in order, then releases them in reverse order (a chord such as Shift+F10).
// Keys go to the window with the keyboard focus in the foreground.
void PressKeys(std::initializer_list<WORD> keys);

// Handles messages until no input is left waiting for this thread, so that every click and
// key sent before has been handled. Gives up after two seconds.
void DrainInput();
