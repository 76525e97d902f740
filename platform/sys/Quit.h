#pragma once
// Orderly quit on SIGTERM and SIGINT. The handlers only set a flag and write one byte to a pipe;
// the message pump watches QuitFd (or calls PollQuitRequest each pass) and closes the main
// window, so shutdown runs in order on the main thread and the process ends with exit code 0.

#include <functional>

namespace platform {

// Installs the handlers (once; later calls only report success). False when the pipe or a
// handler cannot be set up.
bool InstallQuitHandlers();

// True once a quit was requested (by a signal or by RequestQuit).
bool QuitRequested();

// Asks for a quit as a signal would; async-signal-safe.
void RequestQuit();

// A descriptor that becomes readable when a quit is requested; -1 before InstallQuitHandlers.
int QuitFd();

// Called by PollQuitRequest, on the polling thread, for a quit request.
void SetQuitCallback(std::function<void()> callback);

// Pump side: when a quit was requested and not yet handled, drains the pipe, calls the callback
// once and returns true. Further signals after that are handled again (a second Ctrl+C while the
// window closes still reaches the pump).
bool PollQuitRequest();

// Forgets a pending or handled request (tests).
void ClearQuitRequest();

// A wait that holds a thread's message pump (a message box on the display, an HTTP exchange) calls
// BlockingWaitEnds about once a second or more often, and ends when it returns true: a quit was
// requested, or the hook, when this thread installed it, says so. The hook keeps the pump's other
// duties going (the input script) and returns true once a close of the main window waits. Empty: none.
void SetBlockingWaitHook(std::function<bool()> hook);
bool BlockingWaitEnds();

}  // namespace platform
