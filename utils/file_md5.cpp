#include "utils/file_md5.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

#include "utils/text_convert.h"
#include "utils/win_handle.h"

namespace Utils {

namespace {

struct CryptProviderTraits {
    using Type = HCRYPTPROV;
    static Type Invalid() { return 0; }
    static bool IsValid(Type value) { return value != 0; }
    static void Close(Type value) { ::CryptReleaseContext(value, 0); }
};

struct CryptHashTraits {
    using Type = HCRYPTHASH;
    static Type Invalid() { return 0; }
    static bool IsValid(Type value) { return value != 0; }
    static void Close(Type value) { ::CryptDestroyHash(value); }
};

struct FileTraits {
    using Type = FILE*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { std::fclose(value); }
};

std::string ToLowerHex(const BYTE* bytes, DWORD count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (DWORD i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

}  // namespace

std::string GetFileMd5W(const std::wstring& path) {
    if (path.empty()) return {};
    UniqueResource<FileTraits> file(::_wfopen(path.c_str(), L"rb"));
    if (!file) return {};

    UniqueResource<CryptProviderTraits> provider;
    if (!::CryptAcquireContextW(provider.out(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return {};
    UniqueResource<CryptHashTraits> hash;
    if (!::CryptCreateHash(provider.get(), CALG_MD5, 0, 0, hash.out())) return {};

    BYTE block[1024];
    for (;;) {
        const size_t read = std::fread(block, 1, sizeof(block), file.get());
        if (read == 0) break;
        if (!::CryptHashData(hash.get(), block, static_cast<DWORD>(read), 0)) return {};
    }
    if (std::ferror(file.get())) return {};

    BYTE digest[16];
    DWORD digestLength = sizeof(digest);
    if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &digestLength, 0)) return {};
    return ToLowerHex(digest, digestLength);
}

std::string GetFileMd5(const std::string& ansiPath) {
    if (ansiPath.empty()) return {};
    return GetFileMd5W(MultiByteToWide(ansiPath, CP_ACP));
}

}  // namespace Utils
