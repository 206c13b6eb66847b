#include "platform/syncmessage.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace corvane {
namespace {

// The three fields travel as little-endian 64-bit integers, 24 bytes in all.
constexpr size_t kWireSize = 24;

void Encode(const TSyncMessage& m, unsigned char* out)
{
    const int64_t fields[3] = {m.msg, m.wParam, m.lParam};
    for (int f = 0; f < 3; ++f) {
        const auto v = static_cast<uint64_t>(fields[f]);
        for (int b = 0; b < 8; ++b)
            out[f * 8 + b] = static_cast<unsigned char>(v >> (8 * b));
    }
}

TSyncMessage Decode(const unsigned char* in)
{
    int64_t fields[3];
    for (int f = 0; f < 3; ++f) {
        uint64_t v = 0;
        for (int b = 7; b >= 0; --b)
            v = (v << 8) | in[f * 8 + b];
        fields[f] = static_cast<int64_t>(v);
    }
    return {fields[0], fields[1], fields[2]};
}

bool SendAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReceiveAll(int fd, unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool SendSyncMessage(int fd, const TSyncMessage& message)
{
    unsigned char wire[kWireSize];
    Encode(message, wire);
    unsigned char reply = 0;
    return fd >= 0 && SendAll(fd, wire, kWireSize) && ReceiveAll(fd, &reply, 1);
}

bool ReadSyncMessage(int fd, TSyncMessage& message)
{
    unsigned char wire[kWireSize];
    if (fd < 0 || !ReceiveAll(fd, wire, kWireSize))
        return false;
    message = Decode(wire);
    return true;
}

bool ReplySyncMessage(int fd)
{
    const unsigned char reply = 1;
    return fd >= 0 && SendAll(fd, &reply, 1);
}

} // namespace corvane
