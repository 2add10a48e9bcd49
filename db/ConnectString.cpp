#include "db/ConnectString.h"

#include "platform/TextUtil.h"

namespace tl {

std::map<std::string, std::string> ParseConnectString(std::string_view connect) {
    std::map<std::string, std::string> attributes;
    if (StartsWithNoCase(connect, "ODBC;"))
        connect.remove_prefix(5);
    std::size_t pos = 0;
    while (pos < connect.size()) {
        const std::size_t equals = connect.find('=', pos);
        const std::size_t semicolon = connect.find(';', pos);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            if (semicolon == std::string_view::npos)
                break;
            pos = semicolon + 1;
            continue;
        }
        const std::string key = ToUpper(connect.substr(pos, equals - pos));
        std::size_t end;
        std::string value;
        if (equals + 1 < connect.size() && connect[equals + 1] == '{') {
            const std::size_t close = connect.find('}', equals + 2);
            end = close == std::string_view::npos ? connect.size() : close + 1;
            value = std::string(connect.substr(
                equals + 2, (close == std::string_view::npos ? connect.size() : close) - equals - 2));
            end = connect.find(';', end);
        } else {
            end = connect.find(';', equals + 1);
            value = std::string(connect.substr(
                equals + 1, end == std::string_view::npos ? std::string_view::npos : end - equals - 1));
        }
        attributes[key] = value;
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
    }
    return attributes;
}

} // namespace tl
