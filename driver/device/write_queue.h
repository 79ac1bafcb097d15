// The writer thread's queue of write requests: single characters and blocks, written in the order
// they were queued. The driver itself sends its start byte directly; the queue is for sending that
// must not wait for the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace qvl {

struct WriteRequest {
    enum Kind : int { kCharacter = 1, kBlock = 6 };
    int kind;
    std::uint8_t character;          // kCharacter
    std::vector<std::uint8_t> block; // kBlock
};

class CWriteQueue {
public:
    // At most this many bytes wait at once (a character counts one); the line takes 240 a second.
    static constexpr std::size_t kCapacityBytes = 16384;

    CWriteQueue() = default;
    CWriteQueue(const CWriteQueue&) = delete;
    CWriteQueue& operator=(const CWriteQueue&) = delete;

    // False when the request would overflow the queue; nothing is queued then.
    bool Push(WriteRequest request);
    // Every queued request, oldest first; the queue is empty afterwards.
    std::deque<WriteRequest> TakeAll();
    std::size_t QueuedBytes() const;
    void Clear();

private:
    static std::size_t SizeOf(const WriteRequest& request);

    mutable std::mutex lock_;
    std::deque<WriteRequest> requests_;
    std::size_t queuedBytes_ = 0;
};

} // namespace qvl
