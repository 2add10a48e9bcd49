#include "tools/ImportDataFile.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

const std::string* ImportDataRecord::Find(std::string_view key) const {
    for (const auto& [name, value] : values_) {
        if (tl::EqualsNoCase(name, key))
            return &value;
    }
    return nullptr;
}

bool ImportDataRecord::Add(std::string key, std::string value) {
    if (Find(key) != nullptr)
        return false;
    values_.emplace_back(std::move(key), std::move(value));
    return true;
}

bool ImportDataFile::Open(const std::filesystem::path& path) {
    path_ = path;
    buffer_.resize(1 << 16);
    in_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    in_.open(path, std::ios::binary);
    if (!in_)
        return Fail("cannot be opened");
    // A byte order mark that an editor put first is not part of the data.
    if (in_.peek() == 0xEF) {
        char mark[3] = {};
        in_.read(mark, 3);
        if (std::string_view(mark, 3) != "\xEF\xBB\xBF") {
            in_.clear();
            in_.seekg(0);
        }
    }
    return true;
}

bool ImportDataFile::Fail(const std::string& message) {
    error_ = lineNumber_ == 0 ? tl::Format("%s: %s", path_.c_str(), message.c_str())
                              : tl::Format("%s(%zu): %s", path_.c_str(), lineNumber_, message.c_str());
    return false;
}

std::optional<std::string> ImportDataFile::Unescape(std::string_view value) {
    if (value.find('\\') == std::string_view::npos)
        return std::string(value);
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        switch (value[i]) {
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case 's':
            text += ' ';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return text;
}

bool ImportDataFile::Next(ImportDataRecord& record) {
    record.Clear();
    if (!error_.empty())
        return false;
    std::string line;
    while (std::getline(in_, line)) {
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == ';' || text.front() == '#')
            continue;
        if (text.front() == '[') {
            if (text.back() != ']')
                return Fail("a section header must end with ]");
            inRecord_ = true;
            if (!record.Empty())
                return true;
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos)
            return Fail("expected [section] or Key=Value");
        if (!inRecord_)
            return Fail("a value before the first [section]");
        const std::string_view key = Trim(text.substr(0, equals));
        if (key.empty())
            return Fail("a value without a key");
        std::optional<std::string> value = Unescape(Trim(text.substr(equals + 1)));
        if (!value)
            return Fail("unknown escape; write \\\\ for a backslash");
        if (!record.Add(std::string(key), std::move(*value)))
            return Fail(
                tl::Format("%.*s given twice in one record", static_cast<int>(key.size()), key.data()));
    }
    if (in_.bad())
        return Fail("cannot be read");
    return !record.Empty();
}
