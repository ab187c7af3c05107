// The PNG writer of the host's pictures, checked against zlib's own reader.
#include "common/PngEncoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using HxTools::EncodePng;
using HxTools::ZlibCompress;

namespace {

std::vector<std::uint8_t> Inflate(const std::uint8_t* data, std::size_t size, std::size_t expected) {
    std::vector<std::uint8_t> out(expected + 16);
    uLongf length = static_cast<uLongf>(out.size());
    EXPECT_EQ(Z_OK, uncompress(out.data(), &length, data, static_cast<uLong>(size)));
    out.resize(length);
    return out;
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

std::vector<std::uint8_t> Bytes(std::size_t size, unsigned seed, int alphabet) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random() % alphabet);
    return bytes;
}

} // namespace

// Every length code boundary of a run, literals of both code lengths, and mixed data come back intact.
TEST(PngEncoder, ZlibStreamsInflateToTheirInput) {
    const std::vector<std::vector<std::uint8_t>> inputs = {
        {},
        {0},
        {255, 143, 144, 0},
        std::vector<std::uint8_t>(4, 7),
        std::vector<std::uint8_t>(11, 7),
        std::vector<std::uint8_t>(259, 0),
        std::vector<std::uint8_t>(260, 200),
        std::vector<std::uint8_t>(100000, 1),
        Bytes(5000, 1, 256),
        Bytes(5000, 2, 2), // short runs everywhere
    };
    for (const auto& input : inputs) {
        const auto stream = ZlibCompress(input.data(), input.size());
        EXPECT_EQ(input, Inflate(stream.data(), stream.size(), input.size())) << "input of " << input.size();
    }
}

// The file's chunks: header fields, CRCs as zlib computes them, and rows that unfilter to the picture.
TEST(PngEncoder, FileHoldsThePicture) {
    const std::uint32_t width = 37, height = 5;
    std::vector<std::uint8_t> rgb = Bytes(width * height * 3, 3, 256);
    std::fill(rgb.begin(), rgb.begin() + width * 3, 90); // one flat row
    const auto png = EncodePng(width, height, rgb.data());

    ASSERT_EQ(0, std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8));
    ASSERT_EQ(13u, BigEndianAt(png, 8));
    EXPECT_EQ(0, std::memcmp(&png[12], "IHDR", 4));
    EXPECT_EQ(width, BigEndianAt(png, 16));
    EXPECT_EQ(height, BigEndianAt(png, 20));
    EXPECT_EQ(8, png[24]);
    EXPECT_EQ(2, png[25]);
    std::size_t at = 8;
    std::vector<std::uint8_t> idat;
    while (at < png.size()) {
        const std::uint32_t length = BigEndianAt(png, at);
        const std::uint32_t crc = crc32(0, &png[at + 4], length + 4);
        EXPECT_EQ(crc, BigEndianAt(png, at + 8 + length));
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
            idat.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(png.size(), at);
    EXPECT_EQ(0, std::memcmp(&png[png.size() - 8], "IEND", 4));

    const auto rows = Inflate(idat.data(), idat.size(), (width * 3 + 1) * height);
    ASSERT_EQ((width * 3 + 1) * height, rows.size());
    std::vector<std::uint8_t> unfiltered;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = &rows[y * (width * 3 + 1)];
        EXPECT_EQ(1, row[0]);
        for (std::uint32_t x = 0; x < width * 3; ++x)
            unfiltered.push_back(static_cast<std::uint8_t>(row[1 + x] + (x >= 3 ? unfiltered[y * width * 3 + x - 3] : 0)));
    }
    EXPECT_EQ(rgb, unfiltered);
}
