// libFuzzer target: parse any bytes, write the tree, parse what was written, bind both trees, and
// check that escaping and decoding give every text back. Built only with -DTL_FUZZ=ON under clang;
// scripts/fuzz-xml.sh runs it with AddressSanitizer and UndefinedBehaviorSanitizer.
#include "xml/XmlDocument.h"
#include "xml/XmlText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Objects are kept in one flat list, so destroying them never recurses however deep the input.
std::vector<XmlObject>* kept = nullptr;

struct Node {
    std::string text;
    int children = 0;
};

void Attach(void* target, XmlObject object) {
    ++static_cast<Node*>(target)->children;
    kept->push_back(std::move(object));
}
void SetText(void* target, const std::string& value) {
    static_cast<Node*>(target)->text += value.substr(0, 16);
}

constexpr XmlRuntimeClass kNodeClass = XmlClassOf<Node>("Node");
constexpr XmlNamespaceBinding kUris[] = {{"m", "urn:x&y"}, {"", "urn:d"}};

extern const XmlBinding kRows[];
const XmlBinding kRows[] = {
    {.childTable = kRows, .childCount = 1, .name = "a", .runtimeClass = &kNodeClass, .attach = Attach},
    {.name = "b", .setText = SetText},
    {.name = "c"},
    {.setText = SetText},
    {.childTable = kRows,
     .childCount = 6,
     .name = "m:e",
     .runtimeClass = &kNodeClass,
     .attach = Attach,
     .namespaces = kUris,
     .namespaceCount = 2},
    {.childTable = kRows, .childCount = 0, .name = "n", .runtimeClass = &kNodeClass, .attach = Attach},
};
constexpr int kRowCount = sizeof kRows / sizeof kRows[0];

void BindAll(const XmlDocument& document) {
    std::vector<XmlObject> objects;
    kept = &objects;
    Node top;
    document.Bind(kRows, kRowCount, &top);
    kept = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        XmlDocument::SetDebugOutput(nullptr);
        XmlDocument::SetMessageBoxHook(nullptr);
        return true;
    }();
    (void)quiet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    XmlDocument document(true);
    document.Parse(text);
    std::string written;
    document.Write(written, "<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
    BindAll(document);

    XmlDocument again(false);
    again.Parse(written);
    BindAll(again);

    if (XmlDecodeEntities(XmlEscapeText(text)) != text)
        __builtin_trap();
    return 0;
}
