#pragma once
// Handling the thread's pending window messages outside a modal loop (PeekMessage, TranslateMessage,
// DispatchMessage), for the loops that keep windows alive while they work.

namespace vendora {

// Removes, translates and dispatches one pending message; false when the queue was empty.
bool ProcessOneMessage();

// Dispatches pending messages until the queue is empty.
void ProcessMessages();

// Sleeps until a message is waiting or about milliseconds have passed (MsgWaitForMultipleObjects), for a
// loop that retries something while a window is up.
void WaitForMessage(int milliseconds);

} // namespace vendora
