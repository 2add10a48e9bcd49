#include "xml/XmlText.h"

#include "platform/TextUtil.h"

#include <climits>
#include <cstdint>

namespace {

bool IsDecimal(char c) {
    return c >= '0' && c <= '9';
}

// The digits of a numeric reference, converted as a 32-bit unsigned conversion does: a number
// too large for it saturates. Only the low eight bits are used.
char NumericByte(std::string_view digits, int base, std::size_t& used) {
    std::uint64_t value = 0;
    bool saturated = false;
    used = 0;
    for (; used < digits.size(); ++used) {
        const int digit = base == 16 ? tl::HexDigitValue(digits[used])
                                     : (IsDecimal(digits[used]) ? digits[used] - '0' : -1);
        if (digit < 0)
            break;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > UINT32_MAX) {
            saturated = true;
            value = 0;
        }
    }
    return static_cast<char>(saturated ? 0xFF : (value & 0xFF));
}

struct NamedReference {
    std::string_view name;
    char character;
};

// Order matters: the names are tried in this order as prefixes.
constexpr NamedReference kNamedReferences[] = {
    {"nbsp", ' '}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''},
};

// Decodes the reference that follows an "&"; false when it is not one. used counts the bytes
// taken after the "&", not including an optional ";".
bool DecodeReference(std::string_view rest, char& decoded, std::size_t& used) {
    if (rest.size() >= 3 && rest[0] == '#' && rest[1] == 'x' && tl::HexDigitValue(rest[2]) >= 0) {
        decoded = NumericByte(rest.substr(2), 16, used);
        used += 2;
        return true;
    }
    if (rest.size() >= 2 && rest[0] == '#' && IsDecimal(rest[1])) {
        decoded = NumericByte(rest.substr(1), 10, used);
        used += 1;
        return true;
    }
    for (const auto& reference : kNamedReferences) {
        if (tl::StartsWithNoCase(rest, reference.name)) {
            decoded = reference.character;
            used = reference.name.size();
            return true;
        }
    }
    return false;
}

} // namespace

std::string XmlDecodeEntities(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t ampersand = text.find('&', position);
        if (ampersand == std::string_view::npos) {
            decoded.append(text.substr(position));
            break;
        }
        decoded.append(text.substr(position, ampersand - position));
        position = ampersand + 1;
        char character = 0;
        std::size_t used = 0;
        if (!DecodeReference(text.substr(position), character, used)) {
            decoded.push_back('&');
            continue;
        }
        decoded.push_back(character);
        position += used;
        if (position < text.size() && text[position] == ';')
            ++position;
    }
    return decoded;
}

void XmlAppendEscaped(std::string& output, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* reference = nullptr;
        switch (text[i]) {
        case '&':
            reference = "&#38;";
            break;
        case '<':
            reference = "&#60;";
            break;
        case '>':
            reference = "&#62;";
            break;
        case '"':
            reference = "&#34;";
            break;
        case '\'':
            reference = "&#39;";
            break;
        default:
            continue;
        }
        output.append(text.substr(start, i - start));
        output.append(reference);
        start = i + 1;
    }
    output.append(text.substr(start));
}

std::string XmlEscapeText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 8);
    XmlAppendEscaped(escaped, text);
    return escaped;
}

int XmlTextToBool(std::string_view text) {
    for (const std::string_view yes : {"true", "yes", "y", "1", "t", "on"}) {
        if (tl::EqualsNoCase(text, yes))
            return 1;
    }
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && IsDecimal(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

void XmlWipeString(std::string& text) {
    tl::WipeString(text);
}
