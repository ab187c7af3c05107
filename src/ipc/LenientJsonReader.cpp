#include "ipc/LenientJsonReader.h"

#include <cstdlib>
#include <utility>

namespace Corvani::Nuv::IPC {

namespace {

using nlohmann::json;

enum class TokenType {
    ObjectBegin,
    ObjectEnd,
    ArrayBegin,
    ArrayEnd,
    String,
    Number,
    True,
    False,
    Null,
    Comma,
    Colon,
    Comment,
    End,
    Error
};

struct Token {
    TokenType type = TokenType::End;
    std::size_t begin = 0;
    std::size_t end = 0;
};

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

bool IsDigit(std::size_t at, const std::string& text) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code <= 0x7F) {
        out += static_cast<char>(code);
    } else if (code <= 0x7FF) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code <= 0xFFFF) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Texts are kept up to their first NUL.
std::string UpToNul(std::string text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    return text;
}

class Reader {
public:
    explicit Reader(const std::string& text) : _text(text) {}

    void ReadRoot(json& root) { ReadValue(root); }

private:
    void SkipSpaces() {
        while (_pos < _text.size()) {
            const char c = _text[_pos];
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                break;
            ++_pos;
        }
    }

    bool Match(const char* rest, std::size_t length) {
        if (_text.compare(_pos, length, rest, length) != 0)
            return false;
        _pos += length;
        return true;
    }

    // A string token: up to the closing quote, a backslash taking the character after it.
    bool ScanString() {
        char last = 0;
        while (_pos < _text.size()) {
            last = _text[_pos++];
            if (last == '\\') {
                if (_pos < _text.size())
                    ++_pos;
            } else if (last == '"') {
                return true;
            }
        }
        return false;
    }

    bool ScanComment() {
        if (_pos >= _text.size())
            return false;
        const char kind = _text[_pos++];
        if (kind == '/') {
            while (_pos < _text.size()) {
                const char c = _text[_pos++];
                if (c == '\r' || c == '\n')
                    break;
            }
            return true;
        }
        if (kind != '*')
            return false;
        while (_pos < _text.size()) {
            const char c = _text[_pos++];
            if (c == '*' && _pos < _text.size() && _text[_pos] == '/')
                break;
        }
        if (_pos >= _text.size())
            return false;
        ++_pos; // the closing '/'
        return true;
    }

    Token Next() {
        SkipSpaces();
        Token token;
        token.begin = _pos;
        bool ok = true;
        if (_pos >= _text.size()) {
            token.type = TokenType::End;
        } else {
            const char c = _text[_pos++];
            switch (c) {
            case '{': token.type = TokenType::ObjectBegin; break;
            case '}': token.type = TokenType::ObjectEnd; break;
            case '[': token.type = TokenType::ArrayBegin; break;
            case ']': token.type = TokenType::ArrayEnd; break;
            case ',': token.type = TokenType::Comma; break;
            case ':': token.type = TokenType::Colon; break;
            case '\0': token.type = TokenType::End; break;
            case '"':
                token.type = TokenType::String;
                ok = ScanString();
                break;
            case '/':
                token.type = TokenType::Comment;
                ok = ScanComment();
                break;
            case 't':
                token.type = TokenType::True;
                ok = Match("rue", 3);
                break;
            case 'f':
                token.type = TokenType::False;
                ok = Match("alse", 4);
                break;
            case 'n':
                token.type = TokenType::Null;
                ok = Match("ull", 3);
                break;
            default:
                if ((c >= '0' && c <= '9') || c == '-') {
                    token.type = TokenType::Number;
                    while (_pos < _text.size() && IsNumberCharacter(_text[_pos]))
                        ++_pos;
                } else {
                    ok = false;
                }
                break;
            }
        }
        if (!ok)
            token.type = TokenType::Error;
        token.end = _pos;
        return token;
    }

    Token NextAfterComments() {
        Token token = Next();
        while (token.type == TokenType::Comment)
            token = Next();
        return token;
    }

    bool ReadValue(json& slot) {
        const Token token = NextAfterComments();
        switch (token.type) {
        case TokenType::ObjectBegin: return ReadObject(slot);
        case TokenType::ArrayBegin: return ReadArray(slot);
        case TokenType::Number: return DecodeNumber(token, slot);
        case TokenType::String: {
            std::string decoded;
            if (!DecodeString(token, decoded))
                return false;
            slot = UpToNul(std::move(decoded));
            return true;
        }
        case TokenType::True: slot = true; return true;
        case TokenType::False: slot = false; return true;
        case TokenType::Null: slot = nullptr; return true;
        default: return false;
        }
    }

    bool ReadObject(json& slot) {
        slot = json::object();
        std::string name; // the last name as decoded, NULs included
        while (true) {
            const Token nameToken = NextAfterComments();
            if (nameToken.type == TokenType::ObjectEnd && name.empty())
                return true;
            if (nameToken.type != TokenType::String)
                return false;
            name.clear();
            if (!DecodeString(nameToken, name))
                return false;
            if (Next().type != TokenType::Colon)
                return false; // no member for a name without its colon
            if (!ReadValue(slot[UpToNul(name)]))
                return false;
            Token after = Next();
            if (after.type != TokenType::ObjectEnd && after.type != TokenType::Comma &&
                after.type != TokenType::Comment)
                return false;
            // Whatever follows a comment here stands in for the comma.
            while (after.type == TokenType::Comment)
                after = Next();
            if (after.type == TokenType::ObjectEnd)
                return true;
        }
    }

    bool ReadArray(json& slot) {
        slot = json::array();
        SkipSpaces();
        if (_pos < _text.size() && _text[_pos] == ']') {
            ++_pos;
            return true;
        }
        for (std::size_t index = 0;; ++index) {
            slot.push_back(nullptr);
            if (!ReadValue(slot[index]))
                return false;
            const Token after = NextAfterComments();
            if (after.type == TokenType::ArrayEnd)
                return true;
            if (after.type != TokenType::Comma)
                return false;
        }
    }

    bool DecodeHex4(std::size_t& at, std::size_t end, unsigned& unit) const {
        if (end - at < 4)
            return false;
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexDigit(_text[at++]);
            if (digit < 0)
                return false;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return true;
    }

    // The text between the token's quotes, its escapes decoded.
    bool DecodeString(const Token& token, std::string& decoded) const {
        std::size_t at = token.begin + 1;
        const std::size_t end = token.end - 1;
        while (at < end) {
            const char c = _text[at++];
            if (c != '\\') {
                decoded += c;
                continue;
            }
            if (at == end)
                return false;
            const char escape = _text[at++];
            switch (escape) {
            case '"': decoded += '"'; break;
            case '/': decoded += '/'; break;
            case '\\': decoded += '\\'; break;
            case 'b': decoded += '\b'; break;
            case 'f': decoded += '\f'; break;
            case 'n': decoded += '\n'; break;
            case 'r': decoded += '\r'; break;
            case 't': decoded += '\t'; break;
            case 'u': {
                unsigned unit = 0;
                if (!DecodeHex4(at, end, unit))
                    return false;
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    unsigned second = 0;
                    if (end - at < 6 || _text[at] != '\\' || _text[at + 1] != 'u')
                        return false;
                    at += 2;
                    if (!DecodeHex4(at, end, second))
                        return false;
                    unit = 0x10000 + ((unit & 0x3FF) << 10) + (second & 0x3FF);
                }
                AppendUtf8(decoded, unit);
                break;
            }
            default: return false;
            }
        }
        return true;
    }

    bool DecodeNumber(const Token& token, json& slot) const {
        bool fractionOrExponent = false;
        for (std::size_t at = token.begin; at < token.end; ++at) {
            const char c = _text[at];
            fractionOrExponent = fractionOrExponent || c == '.' || c == 'e' || c == 'E' || c == '+' ||
                                 (c == '-' && at != token.begin);
        }
        const std::string digits = _text.substr(token.begin, token.end - token.begin);
        if (fractionOrExponent) {
            const std::size_t first = digits[0] == '-' ? 1 : 0;
            const bool startsLikeNumber = IsDigit(token.begin + first, _text) ||
                                          (first + 1 < digits.size() && digits[first] == '.' &&
                                           IsDigit(token.begin + first + 1, _text));
            if (!startsLikeNumber)
                return false;
        }
        slot = std::strtod(digits.c_str(), nullptr);
        return true;
    }

    const std::string& _text;
    std::size_t _pos = 0;
};

} // namespace

nlohmann::json ReadLenientJson(const std::string& bytes) {
    json root;
    Reader(bytes).ReadRoot(root);
    return root;
}

} // namespace Corvani::Nuv::IPC
