// The consumer: a bounded queue of record texts (oldest first) that is sent in batches of
// at most 30 only when asked. A batch that fails goes back to the front as far as room
// allows. What is still queued at close is written to the staging file, one record per
// line, and read back in front of the queue by the next consumer's first flush or close.
//
// Threads: `add` from every tracking thread; `flush`/`FlushAll` from the caller's thread or
// a delivery thread; `close` from the thread that shuts the SDK down. Lock order: flush lock,
// then queue lock; the queue lock is never held during a request.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analytics/sdk/http_sender.h"

namespace usage_analytics {

class RecordConsumer {
public:
    static constexpr size_t kCapacity = 1024;
    static constexpr size_t kBatchSize = 30;

    RecordConsumer(std::string collectorUrl, std::string stagingFilePath);

    RecordConsumer(const RecordConsumer&) = delete;
    RecordConsumer& operator=(const RecordConsumer&) = delete;

    // Queues one record; when the queue is full the oldest record is dropped.
    void add(std::string record);
    // Sends the oldest batch; true when it was delivered or there was nothing to send.
    bool flush();
    // Sends batches until the queue is empty; false at the first batch that fails.
    bool FlushAll();
    // Saves the queue to the staging file and releases the sender; later sends fail.
    void close();

    size_t size() const;
    std::vector<std::string> Records() const;

private:
    void LoadStagingFile();
    void SaveStagingFile();
    void PutBack(const std::vector<std::string>& batch);

    mutable std::recursive_mutex m_QueueLock;
    std::mutex m_FlushLock;
    std::deque<std::string> m_Queue;
    const std::string m_StagingFilePath;
    bool m_LoadPending = true;
    std::shared_ptr<const HttpSender> m_Sender;
};

}  // namespace usage_analytics
