// How a batch of record texts becomes the body of one collector request:
// "[" + records joined by "," + "]", gzip (level 9), Base64, URL encoding, form field.
#pragma once

#include <string>
#include <vector>

namespace usage_analytics {

std::string BuildBatchText(const std::vector<std::string>& records);

// gzip stream of `text` (deflate level 9, window bits 31, memory level 8). False when zlib
// fails; the failure is then written to standard error and `compressed` is unusable.
bool GzipCompress(const std::string& text, std::string* compressed);

// Standard alphabet with "=" padding.
std::string Base64Encode(const std::string& bytes);

// Letters, digits and "-._~" stay; every other byte becomes %XX in capitals.
std::string UrlEncode(const std::string& text);

// "data_list=" + encoded + "&gzip=1".
std::string BuildRequestBody(const std::string& urlEncodedBase64);

// All of the above for one batch; false when compression failed.
bool EncodeBatch(const std::string& batchText, std::string* body);

}  // namespace usage_analytics
