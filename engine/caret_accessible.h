// The caret a program draws itself and publishes only through accessibility
// (the OBJID_CARET object: browsers, editors built on them, some IDEs), asked
// for without ever waiting on a program that does not answer.
#pragma once
#include <windows.h>
#include "engine/caret_follow.h"

// How long a program has to answer the question for its caret object, and
// to say where the caret is, before it is left alone for a while.
constexpr UINT kAccessibleAnswerMs = 50;
constexpr DWORD kAccessibleCallLimitMs = 100;
// A question costs the program (and us) far more than the system caret's
// read (some hundred system calls under Wine, a few milliseconds): the answer
// stands for this long, and the window is asked again only after it.
constexpr DWORD kAccessibleAnswerStandsMs = 100;
// How long a window is then left alone: after no caret object, and after a
// hung, slow or failed answer.
constexpr DWORD kNoAccessibleCaretPauseMs = 500;
constexpr DWORD kUnansweredPauseMs = 5000;

// The caret rectangle `window` publishes, physical screen pixels. At most one
// question to the program per call and per kAccessibleAnswerStandsMs (the
// last answer is given in between), none to a window that is hung or is
// being left alone. The accessibility library and COM are loaded on the
// first question.
bool accessible_caret_rect(HWND window, PixelRect* rect);

// While a question is under way, COM's wait dispatches this thread's
// messages, the tick's timer among them: the tick must then do nothing.
bool accessible_caret_busy();

// Forgets the last answer and the window being left alone.
void forget_accessible_caret();
