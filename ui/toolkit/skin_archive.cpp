#include "ui/toolkit/skin_archive.h"

#include <cstring>
#include <cwctype>

extern "C" {
#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
}

#include "utils/debug_trace.h"

namespace SkinUI {

namespace {

// A seekable 7z input stream over bytes in memory.
struct MemoryInStream {
    ISeekInStream vt;
    const unsigned char* data;
    size_t size;
    size_t position;
};

SRes MemoryRead(ISeekInStreamPtr stream, void* buffer, size_t* size) {
    auto* self = reinterpret_cast<MemoryInStream*>(const_cast<ISeekInStream*>(stream));
    const size_t available = self->size - self->position;
    const size_t count = *size < available ? *size : available;
    std::memcpy(buffer, self->data + self->position, count);
    self->position += count;
    *size = count;
    return SZ_OK;
}

SRes MemorySeek(ISeekInStreamPtr stream, Int64* position, ESzSeek origin) {
    auto* self = reinterpret_cast<MemoryInStream*>(const_cast<ISeekInStream*>(stream));
    Int64 base = 0;
    if (origin == SZ_SEEK_CUR) base = static_cast<Int64>(self->position);
    if (origin == SZ_SEEK_END) base = static_cast<Int64>(self->size);
    const Int64 target = base + *position;
    if (target < 0 || target > static_cast<Int64>(self->size)) return SZ_ERROR_READ;
    self->position = static_cast<size_t>(target);
    *position = target;
    return SZ_OK;
}

const ISzAlloc kAllocMain = {SzAlloc, SzFree};
const ISzAlloc kAllocTemp = {SzAllocTemp, SzFreeTemp};

void EnsureCrcTable() {
    static const bool generated = [] {
        CrcGenerateTable();
        return true;
    }();
    (void)generated;
}

// Owns the reader's state for one Open call.
class ArchiveReader {
public:
    explicit ArchiveReader(const std::string& bytes) {
        m_Stream.vt.Read = MemoryRead;
        m_Stream.vt.Seek = MemorySeek;
        m_Stream.data = reinterpret_cast<const unsigned char*>(bytes.data());
        m_Stream.size = bytes.size();
        m_Stream.position = 0;
        m_LookBuffer.resize(1 << 16);
        LookToRead2_CreateVTable(&m_Look, False);
        m_Look.buf = m_LookBuffer.data();
        m_Look.bufSize = m_LookBuffer.size();
        m_Look.realStream = &m_Stream.vt;
        LookToRead2_INIT(&m_Look);
        SzArEx_Init(&m_Db);
    }
    ~ArchiveReader() {
        if (m_Block != nullptr) ISzAlloc_Free(&kAllocMain, m_Block);
        SzArEx_Free(&m_Db, &kAllocMain);
    }
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    SRes Open() { return SzArEx_Open(&m_Db, &m_Look.vt, &kAllocMain, &kAllocTemp); }
    const CSzArEx& Db() const { return m_Db; }

    // The item's bytes stay valid until the next call or the reader's end.
    SRes Extract(UInt32 index, const Byte** data, size_t* size) {
        size_t offset = 0;
        SRes result = SzArEx_Extract(&m_Db, &m_Look.vt, index, &m_BlockIndex, &m_Block, &m_BlockSize, &offset,
                                     size, &kAllocMain, &kAllocTemp);
        *data = m_Block + offset;
        return result;
    }

    std::wstring Name(UInt32 index) const {
        const size_t length = SzArEx_GetFileNameUtf16(&m_Db, index, nullptr);
        std::vector<UInt16> name(length + 1, 0);
        SzArEx_GetFileNameUtf16(&m_Db, index, name.data());
        std::wstring text;
        for (size_t i = 0; i < length && name[i] != 0; ++i) text.push_back(static_cast<wchar_t>(name[i]));
        return text;
    }

private:
    MemoryInStream m_Stream{};
    CLookToRead2 m_Look{};
    std::vector<Byte> m_LookBuffer;
    CSzArEx m_Db{};
    UInt32 m_BlockIndex = 0xFFFFFFFF;
    Byte* m_Block = nullptr;
    size_t m_BlockSize = 0;
};

}  // namespace

bool SkinPathMatches(const std::wstring& requested, const std::wstring& stored) {
    if (requested.size() != stored.size()) return false;
    for (size_t i = 0; i < requested.size(); ++i) {
        const wchar_t wanted = requested[i] == L'\\' ? L'/' : requested[i];
        if (std::towlower(wanted) != std::towlower(stored[i])) return false;
    }
    return true;
}

bool SkinArchive::Open(std::string bytes) {
    m_Open = false;
    m_Items.clear();
    m_Unpacked.clear();
    m_Packed = std::move(bytes);
    EnsureCrcTable();

    ArchiveReader reader(m_Packed);
    const SRes opened = reader.Open();
    if (opened != SZ_OK) {
        Utils::TraceAt(L"SkinUI::SkinArchive::Open", __LINE__, L"not a 7z archive (%d), %d bytes", opened,
                       static_cast<int>(m_Packed.size()));
        return false;
    }

    // Items first point at offsets; the buffer grows while items are added.
    struct Pending {
        std::wstring path;
        size_t offset;
        size_t size;
    };
    std::vector<Pending> pending;
    const CSzArEx& db = reader.Db();
    for (UInt32 index = 0; index < db.NumFiles; ++index) {
        if (SzArEx_IsDir(&db, index)) continue;
        const Byte* data = nullptr;
        size_t size = 0;
        const SRes extracted = reader.Extract(index, &data, &size);
        if (extracted != SZ_OK) {
            Utils::TraceAt(L"SkinUI::SkinArchive::Open", __LINE__, L"item %d cannot be unpacked (%d)",
                           static_cast<int>(index), extracted);
            m_Unpacked.clear();
            return false;
        }
        pending.push_back({reader.Name(index), m_Unpacked.size(), size});
        m_Unpacked.insert(m_Unpacked.end(), data, data + size);
    }
    for (const Pending& item : pending) {
        m_Items.push_back({item.path, m_Unpacked.data() + item.offset, item.size});
    }
    m_Open = true;
    return true;
}

bool SkinArchive::OpenResource(HMODULE module, int resourceId) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"ZIPRES");
    if (resource == nullptr) return false;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return false;
    return Open(std::string(static_cast<const char*>(bytes), size));
}

const SkinArchive::Item* SkinArchive::Find(const std::wstring& path) const {
    for (const Item& item : m_Items) {
        if (SkinPathMatches(path, item.path)) return &item;
    }
    return nullptr;
}

}  // namespace SkinUI
