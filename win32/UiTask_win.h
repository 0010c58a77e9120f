#pragma once
// The one way work reaches the window thread from other threads: a queue this program owns, drained on
// the window thread when a private message wakes a message-only window. The message carries nothing, so
// one that another process posts only makes the window look at the queue.
#include <functional>

namespace plumwick::win::uitask {

// On the window thread, before the first Post; later calls do nothing. False when the window that wakes
// the thread cannot be made.
bool Initialize();
// From any thread: runs `task` on the window thread after every task posted before it. False (the task
// is dropped, never run) when the queue is not initialized or the window thread cannot be woken.
bool Post(std::function<void()> task);
// Runs what is queued now (the window thread, e.g. before it stops pumping); the wake that follows
// finds the queue empty.
void DrainNow();

} // namespace plumwick::win::uitask
