#pragma once
// PNG files of 24-bit pictures, written without any library: each row filtered with "Sub", the
// filtered bytes deflated with the fixed Huffman codes and runs as matches at distance 1 (flat areas,
// which pictures of tiles and windows are mostly made of, shrink to a few bits per row).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace HxTools {

// `rgb` holds height rows of width pixels, three bytes each (red, green, blue), top row first.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, const std::uint8_t* rgb);

// The zlib stream (RFC 1950) of `data`, as EncodePng stores it.
std::vector<std::uint8_t> ZlibCompress(const std::uint8_t* data, std::size_t size);

} // namespace HxTools
