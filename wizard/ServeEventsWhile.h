#pragma once

#include <functional>

/// Runs work on a thread of its own while the calling (GUI) thread keeps serving events other
/// than user input, so windows stay painted and the progress window keeps moving while work that
/// may take long (a network search) blocks. User-interface calls that work makes reach the GUI
/// thread through the seam as the engine's do. Returns when work has ended; an exception thrown by
/// work is thrown again here.
void ServeEventsWhile(const std::function<void()>& work);
