#pragma once

namespace lumo {

// Puts SIGCHLD back to its default action. A program started with SIGCHLD ignored (a parent may
// hand that down through exec) has its ended children reaped by the system at once, so waiting
// for one fails and its exit status is lost: a failing command would look like one that
// succeeded.
//
// Call once at the start of main(), before any thread starts.
void restoreDefaultChildSignal();

}  // namespace lumo
