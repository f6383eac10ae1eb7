#include "analytics/track_logger.h"

namespace quillon {
namespace tracking {

bool NativeTrackLogger::open(const std::string& path) {
    if (m_File.valid() && path == m_Path) return true;
    close();
    m_File.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_File.valid()) return false;
    m_Path = path;
    return true;
}

void NativeTrackLogger::close() {
    m_File.reset();
    m_Path.clear();
}

}  // namespace tracking
}  // namespace quillon
