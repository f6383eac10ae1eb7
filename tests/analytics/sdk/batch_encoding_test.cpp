// The request body: gzip, Base64, URL encoding, form field.
#include <gtest/gtest.h>
#include <zlib.h>

#include "analytics/sdk/batch_encoding.h"

namespace {

using namespace usage_analytics;

std::string Gunzip(const std::string& compressed) {
    z_stream stream{};
    if (inflateInit2(&stream, 31) != Z_OK) return "<init failed>";
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string out;
    char chunk[4096];
    int result = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - stream.avail_out);
    } while (result == Z_OK);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : "<inflate failed>";
}

TEST(BatchEncoding, Base64WithPadding) {
    const struct {
        std::string bytes;
        const char* text;
    } cases[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                 {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"}, {"\xFB\xFF\xBF", "+/+/"}, {std::string("\0\0", 2), "AAA="}};
    for (const auto& c : cases) EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
}

TEST(BatchEncoding, UrlEncodingKeepsOnlyUnreservedCharacters) {
    EXPECT_EQ(UrlEncode("Zm9+/A=="), "Zm9%2B%2FA%3D%3D");
    EXPECT_EQ(UrlEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(UrlEncode(" &%\xE4"), "%20%26%25%E4");
    EXPECT_EQ(UrlEncode(""), "");
}

TEST(BatchEncoding, GzipLevelNineStreamRoundTrips) {
    const std::string batch = BuildBatchText({"{\"a\":1}", "{\"b\":\"\xE5\xAE\x89\"}"});
    EXPECT_EQ(batch, "[{\"a\":1},{\"b\":\"\xE5\xAE\x89\"}]");
    std::string compressed;
    ASSERT_TRUE(GzipCompress(batch, &compressed));
    ASSERT_GT(compressed.size(), 18u);
    EXPECT_EQ(static_cast<unsigned char>(compressed[0]), 0x1F);
    EXPECT_EQ(static_cast<unsigned char>(compressed[1]), 0x8B);
    EXPECT_EQ(compressed[2], 8) << "deflate";
    EXPECT_EQ(compressed[8], 2) << "the gzip header marks maximum compression";
    EXPECT_EQ(Gunzip(compressed), batch);

    std::string large;
    uint32_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        large += "{\"n\":" + std::to_string(state) + "},";
    }
    ASSERT_TRUE(GzipCompress(large, &compressed));
    EXPECT_GT(compressed.size(), 32768u) << "more than one output chunk";
    EXPECT_EQ(Gunzip(compressed), large);

    ASSERT_TRUE(GzipCompress("", &compressed));
    EXPECT_EQ(Gunzip(compressed), "");
}

TEST(BatchEncoding, BodyIsTheFormFieldOfTheEncodedGzipStream) {
    EXPECT_EQ(BuildBatchText({}), "[]");
    EXPECT_EQ(BuildRequestBody("abc%2B"), "data_list=abc%2B&gzip=1");
    std::string body;
    ASSERT_TRUE(EncodeBatch("[{}]", &body));
    std::string compressed;
    ASSERT_TRUE(GzipCompress("[{}]", &compressed));
    EXPECT_EQ(body, "data_list=" + UrlEncode(Base64Encode(compressed)) + "&gzip=1");
}

}  // namespace
