#include "analytics/sdk/record_consumer.h"

#include <exception>
#include <fstream>

#include "analytics/sdk/batch_encoding.h"
#include "analytics/sdk/console_messages.h"

namespace usage_analytics {

namespace {

bool IsRecordLine(const std::string& line) { return !line.empty() && line.front() == '{' && line.back() == '}'; }

}  // namespace

RecordConsumer::RecordConsumer(std::string collectorUrl, std::string stagingFilePath)
    : m_StagingFilePath(std::move(stagingFilePath)), m_Sender(std::make_shared<HttpSender>(std::move(collectorUrl))) {}

void RecordConsumer::add(std::string record) {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    m_Queue.push_back(std::move(record));
    if (m_Queue.size() > kCapacity) m_Queue.pop_front();
}

void RecordConsumer::LoadStagingFile() {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    if (!m_LoadPending) return;
    const size_t free = kCapacity > m_Queue.size() ? kCapacity - m_Queue.size() : 0;
    if (free > 0 && !m_StagingFilePath.empty()) {
        std::deque<std::string> kept;
        std::ifstream in(m_StagingFilePath, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!IsRecordLine(line)) continue;
            kept.push_back(std::move(line));
            if (kept.size() > free) kept.pop_front();
        }
        m_Queue.insert(m_Queue.begin(), kept.begin(), kept.end());
    }
    // Emptied whether or not anything was read, so no record is loaded twice.
    if (!m_StagingFilePath.empty()) std::ofstream truncate(m_StagingFilePath, std::ios::binary | std::ios::trunc);
    m_LoadPending = false;
}

void RecordConsumer::SaveStagingFile() {
    if (m_StagingFilePath.empty()) return;
    std::ofstream out(m_StagingFilePath, std::ios::binary | std::ios::trunc);
    for (const auto& record : m_Queue) out << record << '\n';
}

void RecordConsumer::PutBack(const std::vector<std::string>& batch) {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    const size_t free = kCapacity > m_Queue.size() ? kCapacity - m_Queue.size() : 0;
    const size_t kept = batch.size() < free ? batch.size() : free;
    // The newest records of the batch win the room that is left; the rest are lost.
    m_Queue.insert(m_Queue.begin(), batch.end() - static_cast<std::ptrdiff_t>(kept), batch.end());
}

bool RecordConsumer::flush() {
    LoadStagingFile();
    // Waits behind at most the batch being sent, which the request time-out bounds.
    std::lock_guard<std::mutex> flushing(m_FlushLock);
    std::vector<std::string> batch;
    std::shared_ptr<const HttpSender> sender;
    {
        std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
        const size_t count = m_Queue.size() < kBatchSize ? m_Queue.size() : kBatchSize;
        if (count == 0) return true;
        batch.assign(std::make_move_iterator(m_Queue.begin()),
                     std::make_move_iterator(m_Queue.begin() + static_cast<std::ptrdiff_t>(count)));
        m_Queue.erase(m_Queue.begin(), m_Queue.begin() + static_cast<std::ptrdiff_t>(count));
        sender = m_Sender;
    }
    bool sent = false;
    try {
        sent = sender != nullptr && sender->Send(BuildBatchText(batch));
    } catch (const std::exception& error) {
        WriteError(std::string("Exception when flush failed: (") + error.what() + ") \n");
        return false;
    } catch (...) {
        return false;
    }
    if (!sent) PutBack(batch);
    return sent;
}

bool RecordConsumer::FlushAll() {
    LoadStagingFile();
    std::unique_lock<std::recursive_mutex> queue(m_QueueLock);
    while (!m_Queue.empty()) {
        queue.unlock();
        if (!flush()) return false;
        queue.lock();
    }
    return true;
}

void RecordConsumer::close() {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    LoadStagingFile();
    SaveStagingFile();
    m_Sender.reset();
}

size_t RecordConsumer::size() const {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    return m_Queue.size();
}

std::vector<std::string> RecordConsumer::Records() const {
    std::lock_guard<std::recursive_mutex> queue(m_QueueLock);
    return {m_Queue.begin(), m_Queue.end()};
}

}  // namespace usage_analytics
