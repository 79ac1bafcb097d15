#include "driver/device/write_queue.h"

#include <utility>

namespace qvl {

std::size_t CWriteQueue::SizeOf(const WriteRequest& request) {
    return request.kind == WriteRequest::kBlock ? request.block.size() : 1;
}

bool CWriteQueue::Push(WriteRequest request) {
    std::lock_guard<std::mutex> hold(lock_);
    const std::size_t size = SizeOf(request);
    if (size > kCapacityBytes - queuedBytes_)
        return false;
    queuedBytes_ += size;
    requests_.push_back(std::move(request));
    return true;
}

std::deque<WriteRequest> CWriteQueue::TakeAll() {
    std::lock_guard<std::mutex> hold(lock_);
    queuedBytes_ = 0;
    return std::exchange(requests_, {});
}

std::size_t CWriteQueue::QueuedBytes() const {
    std::lock_guard<std::mutex> hold(lock_);
    return queuedBytes_;
}

void CWriteQueue::Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    requests_.clear();
    queuedBytes_ = 0;
}

} // namespace qvl
