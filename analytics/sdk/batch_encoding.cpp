#include "analytics/sdk/batch_encoding.h"

#include <curl/curl.h>
#include <zlib.h>

#include <climits>
#include <memory>

#include "analytics/sdk/console_messages.h"

namespace usage_analytics {

namespace {

constexpr int kCompressionLevel = 9;
constexpr int kGzipWindowBits = 31;  // 15 bits of window plus 16 for the gzip wrapper
constexpr int kMemoryLevel = 8;
constexpr size_t kDeflateChunk = 32768;

struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};

}  // namespace

std::string BuildBatchText(const std::vector<std::string>& records) {
    size_t length = 2;
    for (const auto& record : records) length += record.size() + 1;
    std::string batch;
    batch.reserve(length);
    batch += '[';
    for (size_t i = 0; i < records.size(); ++i) {
        if (i > 0) batch += ',';
        batch += records[i];
    }
    batch += ']';
    return batch;
}

bool GzipCompress(const std::string& text, std::string* compressed) {
    compressed->clear();
    z_stream stream{};
    if (deflateInit2(&stream, kCompressionLevel, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        WriteError("deflateInit2 failed while compressing.\n");
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    std::vector<char> chunk(kDeflateChunk);
    int result = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(kDeflateChunk);
        result = deflate(&stream, Z_FINISH);
        compressed->append(chunk.data(), kDeflateChunk - stream.avail_out);
    } while (result == Z_OK);
    const std::string message = stream.msg != nullptr ? stream.msg : "";
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        WriteError("Exception during zlib compression: (" + std::to_string(result) + ") " + message + "\n");
        return false;
    }
    return true;
}

std::string Base64Encode(const std::string& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t triple = (static_cast<unsigned char>(bytes[i]) << 16) |
                                (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(triple >> 18) & 63];
        out += kAlphabet[(triple >> 12) & 63];
        out += kAlphabet[(triple >> 6) & 63];
        out += kAlphabet[triple & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t triple = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) triple |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(triple >> 18) & 63];
        out += kAlphabet[(triple >> 12) & 63];
        out += rest == 2 ? kAlphabet[(triple >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string UrlEncode(const std::string& text) {
    if (text.empty()) return {};
    if (text.size() > static_cast<size_t>(INT_MAX)) return {};
    // libcurl's escaping keeps exactly the unreserved characters and writes capitals; the
    // handle argument is not used by it.
    std::unique_ptr<char, CurlStringDeleter> escaped(curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size())));
    return escaped ? std::string(escaped.get()) : std::string();
}

std::string BuildRequestBody(const std::string& urlEncodedBase64) {
    return "data_list=" + urlEncodedBase64 + "&gzip=1";
}

bool EncodeBatch(const std::string& batchText, std::string* body) {
    std::string compressed;
    if (!GzipCompress(batchText, &compressed)) return false;
    *body = BuildRequestBody(UrlEncode(Base64Encode(compressed)));
    return true;
}

}  // namespace usage_analytics
