#include "XScreenShot.h"

#include "platform/UniqueResource.h"
#include "support/TestPaths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace HxTest {

using Corvani::Nuv::Platform::UniqueHandle;

namespace {

constexpr wchar_t kXwd[] = L"Z:\\usr\\bin\\xwd";
constexpr DWORD kXwdTimeoutMilliseconds = 10000;
constexpr size_t kHeaderFields = 25;

// The fields of the XWD header that the reading needs, in file order (all 32-bit big-endian).
enum Field {
    HeaderSize = 0,
    PixmapFormat = 2,
    Width = 4,
    Height = 5,
    ByteOrder = 7,
    BitsPerPixel = 11,
    BytesPerLine = 12,
    RedMask = 14,
    GreenMask = 15,
    BlueMask = 16,
    ColourCount = 19,
};
constexpr uint32_t kZPixmap = 2;
constexpr size_t kColourEntryBytes = 12;

uint32_t BigEndian(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

uint32_t Pixel(const std::string& bytes, size_t offset, uint32_t bytesPerPixel, bool mostSignificantFirst) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < bytesPerPixel; ++i) {
        const uint32_t byte = static_cast<unsigned char>(bytes[offset + i]);
        value = mostSignificantFirst ? (value << 8) | byte : value | (byte << (8 * i));
    }
    return value;
}

BYTE Component(uint32_t pixel, uint32_t mask) {
    if (mask == 0)
        return 0;
    unsigned shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    return static_cast<BYTE>((pixel & mask) >> shift);
}

// Wine starts a Unix program without a process handle that can be waited for: the caller waits for the
// file instead.
bool StartXwd(const std::wstring& directory, const std::wstring& fileName, std::string& error) {
    // -screen reads the root window in one request, not window by window (Wine's windows come and go).
    std::wstring commandLine = std::wstring(kXwd) + L" -root -screen -silent -out " + fileName;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(kXwd, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                        &process)) {
        error = "xwd could not be started (scripts/install-deps.sh installs x11-apps), error " +
                std::to_string(GetLastError());
        return false;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return true;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

XScreenShot Decode(const std::string& bytes) {
    XScreenShot shot;
    if (bytes.size() < kHeaderFields * 4) {
        shot.error = "the XWD file is too short";
        return shot;
    }
    auto field = [&bytes](Field which) { return BigEndian(bytes, static_cast<size_t>(which) * 4); };
    const uint32_t bitsPerPixel = field(BitsPerPixel);
    if (field(PixmapFormat) != kZPixmap || (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        shot.error = "unexpected XWD pixel format";
        return shot;
    }
    const uint32_t width = field(Width), height = field(Height), bytesPerLine = field(BytesPerLine);
    const size_t dataStart = field(HeaderSize) + static_cast<size_t>(field(ColourCount)) * kColourEntryBytes;
    if (bytes.size() < dataStart + static_cast<size_t>(bytesPerLine) * height) {
        shot.error = "the XWD file ends before its pixels";
        return shot;
    }
    const uint32_t bytesPerPixel = bitsPerPixel / 8;
    const bool mostSignificantFirst = field(ByteOrder) == 1;
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.pixels.reserve(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t pixel = Pixel(bytes, dataStart + static_cast<size_t>(y) * bytesPerLine + x * bytesPerPixel,
                                         bytesPerPixel, mostSignificantFirst);
            shot.pixels.push_back(RGB(Component(pixel, field(RedMask)), Component(pixel, field(GreenMask)),
                                      Component(pixel, field(BlueMask))));
        }
    }
    return shot;
}

} // namespace

XScreenShot TakeXScreenShot() {
    XScreenShot shot;
    const std::wstring directory = NewTempDirectory(L"hxshot");
    const std::wstring fileName = L"screen.xwd";
    const std::wstring path = directory + fileName;
    if (StartXwd(directory, fileName, shot.error)) {
        // xwd writes the file front to back: it is whole once its pixels decode.
        const ULONGLONG deadline = GetTickCount64() + kXwdTimeoutMilliseconds;
        do {
            Sleep(50);
            shot = Decode(ReadWholeFile(path));
        } while (!shot.error.empty() && GetTickCount64() < deadline);
    }
    DeleteFileW(path.c_str());
    RemoveDirectoryW(directory.c_str());
    return shot;
}

} // namespace HxTest
