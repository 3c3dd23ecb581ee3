#pragma once
// Handling the thread's pending window messages outside a modal loop (PeekMessage, TranslateMessage,
// DispatchMessage), for the loops that keep windows alive while they work, through the dialogs' back end.

namespace vendora {

class DialogBackend;

// Removes, translates and dispatches one pending message; false when the queue was empty.
bool ProcessOneMessage(DialogBackend& dialogs);

// Dispatches pending messages until the queue is empty.
void ProcessMessages(DialogBackend& dialogs);

// Sleeps until a message is waiting or about milliseconds have passed (MsgWaitForMultipleObjects), for a
// loop that retries something while a window is up.
void WaitForMessage(DialogBackend& dialogs, int milliseconds);

} // namespace vendora
