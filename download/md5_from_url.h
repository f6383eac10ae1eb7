// The package server keeps each package in a directory named after its MD5, so the
// second-to-last path segment of the final URL is the digest the download must have.
#pragma once

#include <string>

namespace Utils {

// The text between the last two "/" of `url`; empty when the URL has fewer than two "/".
// Callers use it only when it is 32 characters long.
std::string GetMd5FromUrl(const std::string& url);

}  // namespace Utils
