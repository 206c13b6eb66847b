#pragma once

#include <cstdint>

namespace corvane {

/// A (message, wParam, lParam) triple sent from a child program to its parent over a stream
/// socket the child inherited. The sender waits for a one-byte reply, so delivery is
/// synchronous like a window message that the receiver handles before the sender goes on.
struct TSyncMessage
{
    int64_t msg = 0;
    int64_t wParam = 0;
    int64_t lParam = 0;
};

/// Sends `message` on `fd` and waits for the reply. False when the receiver is gone or `fd` is
/// not a connected socket; never raises SIGPIPE.
bool SendSyncMessage(int fd, const TSyncMessage& message);

/// Reads one message; false at end of stream or on error.
bool ReadSyncMessage(int fd, TSyncMessage& message);

/// Lets the sender of the last message go on.
bool ReplySyncMessage(int fd);

} // namespace corvane
