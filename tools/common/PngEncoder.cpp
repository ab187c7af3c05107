#include "PngEncoder.h"

#include <array>
#include <cstring>
#include <string>

namespace HxTools {

namespace {

// Bits go out least significant first; Huffman codes are sent from their most significant bit.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : _out(out) {}

    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            _current |= static_cast<std::uint8_t>(((value >> i) & 1u) << _used);
            if (++_used == 8)
                Flush();
        }
    }
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i)
            Bits((code >> i) & 1u, 1);
    }
    void Flush() {
        if (_used == 0)
            return;
        _out.push_back(_current);
        _current = 0;
        _used = 0;
    }

private:
    std::vector<std::uint8_t>& _out;
    std::uint8_t _current = 0;
    int _used = 0;
};

// The fixed literal/length code of RFC 1951, 3.2.6.
void Symbol(BitWriter& bits, std::uint32_t symbol) {
    if (symbol < 144)
        bits.Code(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.Code(symbol - 256, 7);
    else
        bits.Code(0xC0 + symbol - 280, 8);
}

// A match of 3..258 bytes at distance 1 (distance code 0, five bits, no extra bits).
void RunOf(BitWriter& bits, std::uint32_t length) {
    static constexpr std::array<std::uint16_t, 29> base = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<std::uint8_t, 29> extra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::size_t code = base.size() - 1;
    while (base[code] > length)
        --code;
    Symbol(bits, static_cast<std::uint32_t>(257 + code));
    bits.Bits(length - base[code], extra[code]);
    bits.Code(0, 5);
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Chunk(std::vector<std::uint8_t>& png, const char type[5], const std::vector<std::uint8_t>& data) {
    BigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    BigEndian(png, Crc32(png.data() + typeAt, png.size() - typeAt));
}

// Each row: filter type 1 ("Sub"), every byte minus the byte of the pixel to its left.
std::vector<std::uint8_t> SubFiltered(std::uint32_t width, std::uint32_t height, const std::uint8_t* rgb) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> rows;
    rows.reserve((stride + 1) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb + stride * y;
        rows.push_back(1);
        for (std::size_t x = 0; x < stride; ++x)
            rows.push_back(static_cast<std::uint8_t>(row[x] - (x >= 3 ? row[x - 3] : 0)));
    }
    return rows;
}

} // namespace

std::vector<std::uint8_t> ZlibCompress(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    BitWriter bits(out);
    bits.Bits(1, 1); // the last block
    bits.Bits(1, 2); // fixed Huffman codes
    for (std::size_t i = 0; i < size;) {
        std::size_t run = 0;
        if (i > 0)
            while (run < 258 && i + run < size && data[i + run] == data[i - 1])
                ++run;
        if (run >= 3) {
            RunOf(bits, static_cast<std::uint32_t>(run));
            i += run;
        } else {
            Symbol(bits, data[i++]);
        }
    }
    Symbol(bits, 256);
    bits.Flush();
    BigEndian(out, Adler32(data, size));
    return out;
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, const std::uint8_t* rgb) {
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> png(signature, signature + sizeof(signature));
    std::vector<std::uint8_t> header;
    BigEndian(header, width);
    BigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits per sample, truecolour, deflate, no interlace
    Chunk(png, "IHDR", header);
    const std::vector<std::uint8_t> rows = SubFiltered(width, height, rgb);
    Chunk(png, "IDAT", ZlibCompress(rows.data(), rows.size()));
    Chunk(png, "IEND", {});
    return png;
}

} // namespace HxTools
