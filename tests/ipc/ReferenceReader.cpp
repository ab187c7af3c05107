#include "ipc/ReferenceReader.h"

#include <cstdio>
#include <cstddef>
#include <memory>
#include <vector>

namespace HxTest {

namespace {

struct Value {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    std::string text;                                 // kept as a C string
    std::map<std::string, std::shared_ptr<Value>> members; // names kept as C strings; arrays use "0", "1", ...
    std::vector<std::shared_ptr<Value>> elements;
};

enum Tok { ObjBegin, ObjEnd, ArrBegin, ArrEnd, Str, Num, True, False, Nul, Sep, Colon, Comment, Eos, Err };

class Model {
public:
    Model(const char* begin, const char* end) : _cur(begin), _end(end) {}

    void Parse(Value& root) {
        _nodes.push_back(&root);
        ReadValue();
    }

private:
    struct Token {
        Tok type;
        const char* start;
        const char* end;
    };

    char GetNextChar() { return _cur == _end ? 0 : *_cur++; }
    char Peek() const { return _cur == _end ? 0 : *_cur; }
    Value& Current() { return *_nodes.back(); }

    void SkipSpaces() {
        while (_cur != _end && (*_cur == ' ' || *_cur == '\t' || *_cur == '\r' || *_cur == '\n'))
            ++_cur;
    }

    bool MatchRest(const char* pattern, int length) {
        if (_end - _cur < length)
            return false;
        for (int i = length - 1; i >= 0; --i)
            if (_cur[i] != pattern[i])
                return false;
        _cur += length;
        return true;
    }

    bool ReadStringToken() {
        char c = 0;
        while (_cur != _end) {
            c = GetNextChar();
            if (c == '\\')
                GetNextChar();
            else if (c == '"')
                break;
        }
        return c == '"';
    }

    bool ReadCommentToken() {
        const char c = GetNextChar();
        if (c == '*') {
            while (_cur != _end) {
                const char d = GetNextChar();
                if (d == '*' && Peek() == '/')
                    break;
            }
            return GetNextChar() == '/';
        }
        if (c == '/') {
            while (_cur != _end) {
                const char d = GetNextChar();
                if (d == '\r' || d == '\n')
                    break;
            }
            return true;
        }
        return false;
    }

    Token ReadToken() {
        SkipSpaces();
        Token token{Err, _cur, _cur};
        const char c = GetNextChar();
        bool ok = true;
        if (c == '{') token.type = ObjBegin;
        else if (c == '}') token.type = ObjEnd;
        else if (c == '[') token.type = ArrBegin;
        else if (c == ']') token.type = ArrEnd;
        else if (c == '"') { token.type = Str; ok = ReadStringToken(); }
        else if (c == '/') { token.type = Comment; ok = ReadCommentToken(); }
        else if ((c >= '0' && c <= '9') || c == '-') {
            token.type = Num;
            while (_cur != _end && ((*_cur >= '0' && *_cur <= '9') || *_cur == '.' || *_cur == 'e' ||
                                    *_cur == 'E' || *_cur == '+' || *_cur == '-'))
                ++_cur;
        }
        else if (c == 't') { token.type = True; ok = MatchRest("rue", 3); }
        else if (c == 'f') { token.type = False; ok = MatchRest("alse", 4); }
        else if (c == 'n') { token.type = Nul; ok = MatchRest("ull", 3); }
        else if (c == ',') token.type = Sep;
        else if (c == ':') token.type = Colon;
        else if (c == 0) token.type = Eos;
        else ok = false;
        if (!ok)
            token.type = Err;
        token.end = _cur;
        return token;
    }

    Token SkipComments() {
        Token token = ReadToken();
        while (token.type == Comment)
            token = ReadToken();
        return token;
    }

    bool ReadValue() {
        const Token token = SkipComments();
        switch (token.type) {
        case ObjBegin: return ReadObject();
        case ArrBegin: return ReadArray();
        case Num: return DecodeNumber(token);
        case Str: {
            std::string decoded;
            if (!DecodeString(token, decoded))
                return false;
            Current() = Value();
            Current().kind = Value::String;
            Current().text = decoded.c_str();
            return true;
        }
        case True: case False:
            Current() = Value();
            Current().kind = Value::Bool;
            Current().flag = token.type == True;
            return true;
        case Nul: Current() = Value(); return true;
        default: return false;
        }
    }

    bool ReadObject() {
        Current() = Value();
        Current().kind = Value::Object;
        std::string name;
        while (true) {
            Token nameToken = SkipComments();
            if (nameToken.type == ObjEnd && name.empty())
                return true;
            if (nameToken.type != Str)
                return false;
            name = "";
            if (!DecodeString(nameToken, name))
                return false;
            if (ReadToken().type != Colon)
                return false;
            std::shared_ptr<Value>& slot = Current().members[name.c_str()];
            if (!slot)
                slot = std::make_shared<Value>();
            _nodes.push_back(slot.get());
            const bool ok = ReadValue();
            _nodes.pop_back();
            if (!ok)
                return false;
            Token comma = ReadToken();
            if (comma.type != ObjEnd && comma.type != Sep && comma.type != Comment)
                return false;
            while (comma.type == Comment)
                comma = ReadToken();
            if (comma.type == ObjEnd)
                return true;
        }
    }

    bool ReadArray() {
        Current() = Value();
        Current().kind = Value::Array;
        SkipSpaces();
        if (Peek() == ']') {
            ReadToken();
            return true;
        }
        while (true) {
            Current().elements.push_back(std::make_shared<Value>());
            _nodes.push_back(Current().elements.back().get());
            const bool ok = ReadValue();
            _nodes.pop_back();
            if (!ok)
                return false;
            const Token token = SkipComments();
            if (token.type != Sep && token.type != ArrEnd)
                return false;
            if (token.type == ArrEnd)
                return true;
        }
    }

    static bool Hex4(const char*& at, const char* end, unsigned& unit) {
        if (end - at < 4)
            return false;
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = *at++;
            unit *= 16;
            if (c >= '0' && c <= '9') unit += c - '0';
            else if (c >= 'a' && c <= 'f') unit += c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') unit += c - 'A' + 10;
            else return false;
        }
        return true;
    }

    static void PutUtf8(std::string& out, unsigned cp) {
        if (cp <= 0x7F) {
            out += char(cp);
        } else if (cp <= 0x7FF) {
            out += char(0xC0 | (0x1F & (cp >> 6)));
            out += char(0x80 | (0x3F & cp));
        } else if (cp <= 0xFFFF) {
            out += char(0xE0 | (0xF & (cp >> 12)));
            out += char(0x80 | (0x3F & (cp >> 6)));
            out += char(0x80 | (0x3F & cp));
        } else {
            out += char(0xF0 | (0x7 & (cp >> 18)));
            out += char(0x80 | (0x3F & (cp >> 12)));
            out += char(0x80 | (0x3F & (cp >> 6)));
            out += char(0x80 | (0x3F & cp));
        }
    }

    static bool DecodeString(const Token& token, std::string& decoded) {
        const char* at = token.start + 1;
        const char* end = token.end - 1;
        while (at != end) {
            const char c = *at++;
            if (c != '\\') {
                decoded += c;
                continue;
            }
            if (at == end)
                return false;
            const char e = *at++;
            static const std::string escapes = "\"/\\bfnrt", meanings = "\"/\\\b\f\n\r\t";
            const std::size_t simple = escapes.find(e);
            if (simple != std::string::npos) {
                decoded += meanings[simple];
                continue;
            }
            if (e != 'u')
                return false;
            unsigned cp = 0;
            if (!Hex4(at, end, cp))
                return false;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                if (end - at < 6)
                    return false;
                unsigned low = 0;
                if (!(*at++ == '\\' && *at++ == 'u') || !Hex4(at, end, low))
                    return false;
                cp = 0x10000 + ((cp & 0x3FF) << 10) + (low & 0x3FF);
            }
            PutUtf8(decoded, cp);
        }
        return true;
    }

    bool DecodeNumber(const Token& token) {
        bool isDouble = false;
        for (const char* at = token.start; at != token.end; ++at)
            isDouble = isDouble || *at == '.' || *at == 'e' || *at == 'E' || *at == '+' ||
                       (*at == '-' && at != token.start);
        if (isDouble) {
            const std::string buffer(token.start, token.end);
            double value = 0;
            if (std::sscanf(buffer.c_str(), "%lf", &value) != 1)
                return false;
        }
        Current() = Value();
        Current().kind = Value::Number;
        return true;
    }

    const char* _cur;
    const char* _end;
    std::vector<Value*> _nodes;
};

const Value& MemberOf(const Value& value, const char* name) {
    static const Value null;
    if (value.kind != Value::Object)
        return null;
    const auto found = value.members.find(name);
    return found == value.members.end() ? null : *found->second;
}

bool AsString(const Value& value, std::string& text) {
    switch (value.kind) {
    case Value::Null: text.clear(); return true;
    case Value::Bool: text = value.flag ? "true" : "false"; return true;
    case Value::String: text = value.text; return true;
    default: return false;
    }
}

} // namespace

ModelMessage ModelParse(const std::string& bytes) {
    Value root;
    Model(bytes.data(), bytes.data() + bytes.size()).Parse(root);
    ModelMessage message;
    if (!AsString(MemberOf(root, "Command"), message.command)) {
        message.threw = true;
        return {true, "", {}};
    }
    const Value& payload = MemberOf(root, "Payload");
    if (payload.kind != Value::Array)
        return message;
    for (const auto& element : payload.elements) {
        std::string key, value;
        if (!AsString(MemberOf(*element, "Key"), key) || !AsString(MemberOf(*element, "Value"), value))
            return {true, "", {}};
        message.payload.insert({key, value});
    }
    return message;
}

} // namespace HxTest
