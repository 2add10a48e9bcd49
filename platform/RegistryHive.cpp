#include "platform/RegistryHive.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <cstdlib>

namespace tl {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kUnicodeHeader = "Windows Registry Editor Version 5.00";
constexpr std::size_t kLineWidth = 80;

std::string QuoteString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// A REG_SZ that is one zero-terminated line of text can be written as a quoted string;
// anything else keeps its exact bytes as hex(1).
bool IsPlainString(const std::string& data) {
    if (data.empty() || data.back() != '\0')
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == '\0' || data[i] == '\r' || data[i] == '\n')
            return false;
    }
    return true;
}

void AppendHex(std::string& out, std::string_view prefix, const std::string& data) {
    std::string line(prefix);
    for (std::size_t i = 0; i < data.size(); ++i) {
        line += Format("%02x", static_cast<unsigned char>(data[i]));
        if (i + 1 < data.size()) {
            line += ',';
            // Break before a line would pass the export width, as the registry editor does.
            if (line.size() + 3 > kLineWidth - 1) {
                out += line + "\\\r\n";
                line = "  ";
            }
        }
    }
    out += line + "\r\n";
}

std::string ValueLine(const RegistryValue& value) {
    const std::string name = value.name.empty() ? std::string("@") : QuoteString(value.name);
    if (value.type == win::REG_SZ && IsPlainString(value.data))
        return name + "=" + QuoteString(std::string_view(value.data).substr(0, value.data.size() - 1)) +
               "\r\n";
    if (value.type == win::REG_DWORD && value.data.size() == 4) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(value.data.data());
        const DWORD number =
            bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
        return name + Format("=dword:%08x\r\n", number);
    }
    std::string out;
    const std::string prefix =
        value.type == win::REG_BINARY ? name + "=hex:" : name + Format("=hex(%x):", value.type);
    AppendHex(out, prefix, value.data);
    return out;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out) {
    ++pos;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < text.size())
            out += text[pos++];
        else
            out += c;
    }
    return false;
}

bool ParseHexBytes(std::string_view text, std::string& out) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == ','))
            ++pos;
        if (pos >= text.size())
            break;
        const std::size_t start = pos;
        while (pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos])))
            ++pos;
        if (pos - start == 0 || pos - start > 2)
            return false;
        out += static_cast<char>(
            std::strtoul(std::string(text.substr(start, pos - start)).c_str(), nullptr, 16));
        if (pos < text.size() && text[pos] != ',' && text[pos] != ' ' && text[pos] != '\t')
            return false;
    }
    return true;
}

bool ParseValueData(std::string_view data, RegistryValue& value) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, pos, text) || pos != data.size())
            return false;
        value.type = win::REG_SZ;
        value.data = text + '\0';
        return true;
    }
    if (data.starts_with("dword:")) {
        const std::string digits(data.substr(6));
        if (digits.size() != 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        const DWORD number = static_cast<DWORD>(std::strtoul(digits.c_str(), nullptr, 16));
        value.type = win::REG_DWORD;
        value.data.assign({static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                           static_cast<char>((number >> 16) & 0xFF),
                           static_cast<char>((number >> 24) & 0xFF)});
        return true;
    }
    if (data.starts_with("hex:")) {
        value.type = win::REG_BINARY;
        return ParseHexBytes(data.substr(4), value.data);
    }
    if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || close == 4)
            return false;
        const std::string type(data.substr(4, close - 4));
        if (type.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        value.type = static_cast<DWORD>(std::strtoul(type.c_str(), nullptr, 16));
        return ParseHexBytes(data.substr(close + 2), value.data);
    }
    return false;
}

// Splits the text into logical lines: CR LF or LF ends a line; a value line ending in a backslash
// continues on the next one (leading blanks of the continuation dropped).
std::vector<std::pair<std::string, int>> LogicalLines(std::string_view text) {
    std::vector<std::pair<std::string, int>> lines;
    std::string pending;
    bool continuing = false;
    int lineNumber = 0;
    int startLine = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (continuing) {
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
                line.remove_prefix(1);
        } else {
            startLine = lineNumber;
        }
        pending += line;
        continuing = !pending.empty() && pending.back() == '\\' && pending.front() != '[' &&
                     pending.find("=hex") != std::string::npos;
        if (continuing) {
            pending.pop_back();
            continue;
        }
        lines.emplace_back(std::move(pending), startLine);
        pending.clear();
    }
    if (!pending.empty())
        lines.emplace_back(std::move(pending), startLine);
    return lines;
}

} // namespace

RegistryValue* RegistryKey::FindValue(std::string_view name) {
    for (RegistryValue& value : values) {
        if (EqualsNoCase(value.name, name))
            return &value;
    }
    return nullptr;
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
    return const_cast<RegistryKey*>(this)->FindValue(name);
}

RegistryHive::RegistryHive(std::string rootName) : rootName_(std::move(rootName)) {}

std::string RegistryHive::NormalizePath(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string RegistryHive::SortKey(std::string_view path) {
    // Lower case, with the separator sorting before every other byte so that a key's
    // children follow it directly.
    std::string key = ToLower(NormalizePath(path));
    for (char& c : key) {
        if (c == '\\')
            c = '\x01';
    }
    return key;
}

RegistryKey* RegistryHive::FindKey(std::string_view path) {
    const auto it = keys_.find(SortKey(path));
    return it == keys_.end() ? nullptr : &it->second;
}

const RegistryKey* RegistryHive::FindKey(std::string_view path) const {
    const auto it = keys_.find(SortKey(path));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryKey& RegistryHive::CreateKey(std::string_view path, bool* created) {
    const std::string normal = NormalizePath(path);
    if (created != nullptr)
        *created = FindKey(normal) == nullptr;
    // Every key above it exists too, as on Windows.
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = normal.find('\\', pos);
        const std::string prefix = normal.substr(0, end);
        auto [it, inserted] = keys_.try_emplace(SortKey(prefix));
        if (inserted)
            it->second.path = prefix;
        if (end == std::string::npos)
            return it->second;
        pos = end + 1;
    }
}

bool RegistryHive::DeleteTree(std::string_view path) {
    const std::string key = SortKey(path);
    const auto first = keys_.find(key);
    if (first == keys_.end())
        return false;
    auto last = std::next(first);
    const std::string childPrefix = key + '\x01';
    while (last != keys_.end() && last->first.starts_with(childPrefix))
        ++last;
    keys_.erase(first, last);
    return true;
}

std::string RegistryHive::Serialize() const {
    std::string out(kHeader);
    out += "\r\n\r\n";
    for (const auto& [sortKey, key] : keys_) {
        out += "[" + rootName_ + (key.path.empty() ? "" : "\\") + key.path + "]\r\n";
        for (const RegistryValue& value : key.values)
            out += ValueLine(value);
        out += "\r\n";
    }
    return out;
}

bool RegistryHive::Parse(std::string_view text, std::string* error) {
    keys_.clear();
    const auto fail = [&](int line, const std::string& why) {
        keys_.clear();
        if (error != nullptr)
            *error = Format("line %d: %s", line, why.c_str());
        return false;
    };
    const auto lines = LogicalLines(text);
    std::size_t index = 0;
    while (index < lines.size() && lines[index].first.empty())
        ++index;
    if (index == lines.size() || (lines[index].first != kHeader && lines[index].first != kUnicodeHeader))
        return fail(index < lines.size() ? lines[index].second : 1, "not a registry export");
    RegistryKey* current = nullptr;
    for (++index; index < lines.size(); ++index) {
        const auto& [line, number] = lines[index];
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return fail(number, "unterminated key name");
            std::string_view name = std::string_view(line).substr(1, line.size() - 2);
            if (!StartsWithNoCase(name, rootName_) ||
                (name.size() > rootName_.size() && name[rootName_.size()] != '\\'))
                return fail(number, "key outside " + rootName_);
            current = &CreateKey(name.substr(rootName_.size()));
            continue;
        }
        if (current == nullptr)
            return fail(number, "value outside a key");
        RegistryValue value;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            if (!ReadQuoted(line, pos, value.name))
                return fail(number, "unterminated value name");
        } else {
            return fail(number, "unrecognised line");
        }
        if (pos >= line.size() || line[pos] != '=')
            return fail(number, "missing '='");
        if (!ParseValueData(std::string_view(line).substr(pos + 1), value))
            return fail(number, "bad value data");
        if (RegistryValue* existing = current->FindValue(value.name))
            *existing = std::move(value);
        else
            current->values.push_back(std::move(value));
    }
    return true;
}

} // namespace tl
