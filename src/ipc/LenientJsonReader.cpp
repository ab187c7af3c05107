#include "ipc/LenientJsonReader.h"

#include <utility>
#include <vector>

namespace Corvani::Nuv::IPC {

namespace {

using nlohmann::json;

// Builds the value tree from the library's parse events and, unlike the library's own builder, keeps the
// tree when the parse breaks off.
class TreeBuilder {
public:
    explicit TreeBuilder(json& root) : _root(root) {}

    bool null() { return Place(json(nullptr)) != nullptr; }
    bool boolean(bool value) { return Place(json(value)) != nullptr; }
    bool number_integer(json::number_integer_t value) { return Place(json(value)) != nullptr; }
    bool number_unsigned(json::number_unsigned_t value) { return Place(json(value)) != nullptr; }
    bool number_float(json::number_float_t value, const std::string&) {
        return Place(json(value)) != nullptr;
    }
    bool string(json::string_t& value) { return Place(json(std::move(value))) != nullptr; }
    bool binary(json::binary_t&) { return true; }

    bool start_object(std::size_t) { return Open(json::object()); }
    bool key(json::string_t& name) {
        _pendingKey = std::move(name);
        _memberPending = true;
        return true;
    }
    bool end_object() { return Close(); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_array() { return Close(); }

    // A member value that starts like a number but is not one the library accepts (1e999, -, 1.) is still
    // a number to the command reader: it is kept as one, so that reading it as text fails as it should.
    bool parse_error(std::size_t, const std::string& lastToken, const json::exception&) {
        if (_memberPending && StartsLikeNumber(lastToken))
            Place(json(0.0));
        return false;
    }

private:
    // Puts a value where the parse stands: the root, the pending member or the next element.
    json* Place(json value) {
        if (_open.empty()) {
            _root = std::move(value);
            return &_root;
        }
        json& container = *_open.back();
        if (container.is_object()) {
            _memberPending = false;
            json& member = container[_pendingKey];
            member = std::move(value);
            return &member;
        }
        container.push_back(std::move(value));
        return &container.back();
    }

    bool Open(json container) {
        _open.push_back(Place(std::move(container)));
        return true;
    }

    bool Close() {
        _open.pop_back();
        return true;
    }

    json& _root;
    std::vector<json*> _open;
    std::string _pendingKey;
    bool _memberPending = false;

    static bool StartsLikeNumber(const std::string& token) {
        return !token.empty() && (token[0] == '-' || (token[0] >= '0' && token[0] <= '9'));
    }
};

} // namespace

nlohmann::json ReadLenientJson(const std::string& utf8Text) {
    json root;
    TreeBuilder builder(root);
    constexpr bool kWholeInput = false;
    constexpr bool kIgnoreComments = true;
    json::sax_parse(utf8Text, &builder, json::input_format_t::json, kWholeInput, kIgnoreComments);
    return root;
}

} // namespace Corvani::Nuv::IPC
