// The tracker's log file, created and held open for the tracker's whole life. Nothing is
// written to it by this program; its presence tells the product's tools which tracker ran.
#pragma once

#include <string>

#include "utils/win_handle.h"

namespace quillon {
namespace tracking {

class TrackLogger {
public:
    virtual ~TrackLogger() = default;
    virtual bool open(const std::string& path) = 0;
    virtual void close() = 0;
};

class NativeTrackLogger : public TrackLogger {
public:
    ~NativeTrackLogger() override { close(); }

    // Creates the file empty when missing and holds it open; the same path again does nothing.
    bool open(const std::string& path) override;
    void close() override;

    bool isOpen() const { return m_File.valid(); }
    const std::string& path() const { return m_Path; }

private:
    std::string m_Path;
    Utils::UniqueHandle m_File;
};

}  // namespace tracking
}  // namespace quillon
