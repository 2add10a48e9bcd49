// The online manifest's parse and bind against pugixml and libxml2: a manifest of 50,000 modules
// (about 20 MB) written as tlpublish writes it, parsed and bound into the manifest objects. The
// peers bind through the same binding table, so all three end with the same objects.
#include "app/ManifestObjects.h"
#include "benchmarks/BenchRow.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "release/ManifestBinding.h"
#include "xml/XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <cstdlib>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace {

constexpr int kModules = 50000;
using ManifestList = std::vector<std::unique_ptr<XCurrentVersion>>;

std::string ManifestText() {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
                       "<CurrentVersion DatabaseLevel=\"15\" UpdateLevel=\"3\">\r\n";
    for (int i = 0; i < kModules; ++i) {
        const bool state = i % 10 == 0;
        text += tl::Format(
            "<Module Name=\"TLM%05d.DLL\" Description=\"Practice module %05d for Smith &amp; Jones, "
            "chapter 7, chapter 11 and chapter 13 petitions and schedules\" Version=\"5.1.%d.%d\" Remarks=\"Fixes the "
            "printing of schedule %c &lt;%d&gt; on letter and legal paper in the district courts\"%s Flags=\"%d\" Size=\"%d\" "
            "Sha256=\"%08x%08x%08x%08x%08x%08x%08x%08x\">\r\n</Module>\r\n",
            i, i, i % 10, i, 'A' + i % 8, i % 97, state ? " State=\"TX\"" : "", state ? 16 : 2,
            18288 + i * 7, i, i * 3, i * 5, i * 7, i * 11, i * 13, i * 17, i * 19);
    }
    return text + "</CurrentVersion>\r\n";
}

const XmlBinding* FindRow(const XmlBinding* table, int count, const char* name) {
    for (int i = 0; i < count; ++i) {
        if (table[i].name != nullptr && tl::EqualsNoCase(table[i].name, name))
            return &table[i];
    }
    return nullptr;
}

// The binding walk over a peer's tree: the element's row, its object, its child elements and its
// attributes, as XmlDocument::Bind does for ours.
template <class Tree>
void BindNode(const typename Tree::Node& node, const XmlBinding* table, int count, void* target) {
    const XmlBinding* row = FindRow(table, count, Tree::Name(node));
    if (row == nullptr)
        return;
    if (row->runtimeClass == nullptr) {
        if (row->setText != nullptr)
            row->setText(target, Tree::Text(node));
        return;
    }
    XmlObject object = row->runtimeClass->create();
    void* raw = object.get();
    row->attach(target, std::move(object));
    if (row->childCount == 0)
        return;
    Tree::ForEachChild(node, [&](const typename Tree::Node& child) {
        BindNode<Tree>(child, row->childTable, row->childCount, raw);
    });
    Tree::ForEachAttribute(node, [&](const char* name, const char* value) {
        if (const XmlBinding* attribute = FindRow(row->childTable, row->childCount, name);
            attribute != nullptr && attribute->setText != nullptr)
            attribute->setText(raw, value);
    });
}

struct PugiTree {
    using Node = pugi::xml_node;
    static const char* Name(const Node& node) { return node.name(); }
    static std::string Text(const Node& node) { return node.child_value(); }
    template <class Fn>
    static void ForEachChild(const Node& node, Fn fn) {
        for (const pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element)
                fn(child);
        }
    }
    template <class Fn>
    static void ForEachAttribute(const Node& node, Fn fn) {
        for (const pugi::xml_attribute attribute : node.attributes())
            fn(attribute.name(), attribute.value());
    }
};

struct LibxmlTree {
    using Node = xmlNode*;
    static const char* Name(const Node& node) { return reinterpret_cast<const char*>(node->name); }
    static std::string Text(const Node& node) {
        std::string text;
        for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
                text = reinterpret_cast<const char*>(child->content);
        }
        return text;
    }
    template <class Fn>
    static void ForEachChild(const Node& node, Fn fn) {
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (child->type == XML_ELEMENT_NODE)
                fn(child);
        }
    }
    template <class Fn>
    static void ForEachAttribute(const Node& node, Fn fn) {
        for (const xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            const xmlNode* value = attribute->children;
            fn(reinterpret_cast<const char*>(attribute->name),
               value != nullptr && value->content != nullptr ? reinterpret_cast<const char*>(value->content) : "");
        }
    }
};

void Check(const ManifestList& manifests, const char* who) {
    if (manifests.size() != 1 || manifests[0]->Modules.size() != kModules ||
        manifests[0]->Modules.back()->Name != tl::Format("TLM%05d.DLL", kModules - 1) ||
        manifests[0]->DatabaseLevel != 15 || manifests[0]->Modules[1]->Description.find("Smith & Jones") == std::string::npos)
        bench::Fail(std::string(who) + " did not bind the whole manifest");
}

void Ours(const std::string& text) {
    XmlDocument document(false);
    if (!document.Parse(text))
        bench::Fail("our parser refused the manifest");
    ManifestList manifests;
    document.Bind(kManifestBinding, kManifestBindingCount, &manifests);
    Check(manifests, "our binder");
}

void Pugixml(const std::string& text) {
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size()))
        bench::Fail("pugixml refused the manifest");
    ManifestList manifests;
    for (const pugi::xml_node root : document.children()) {
        if (root.type() == pugi::node_element)
            BindNode<PugiTree>(root, kManifestBinding, kManifestBindingCount, &manifests);
    }
    Check(manifests, "pugixml");
}

void Libxml2(const std::string& text) {
    const std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_HUGE),
        xmlFreeDoc);
    if (!document)
        bench::Fail("libxml2 refused the manifest");
    ManifestList manifests;
    for (xmlNode* root = xmlDocGetRootElement(document.get()); root != nullptr; root = root->next) {
        if (root->type == XML_ELEMENT_NODE)
            BindNode<LibxmlTree>(root, kManifestBinding, kManifestBindingCount, &manifests);
    }
    Check(manifests, "libxml2");
}

// glibc keeps small freed blocks aside and merges them only when a larger block is asked for, so
// the garbage of one parser would be paid for by the next one timed. Every run ends by asking for
// such a block: each pays for its own.
void SettleHeap() {
    void* volatile block = std::malloc(64 * 1024);
    std::free(block);
}

template <class Fn>
double Timed(const std::string& text, Fn parse) {
    return bench::TimeOf([&] {
        parse(text);
        SettleHeap();
    });
}

} // namespace

int main() {
    xmlInitParser();
    const std::string text = ManifestText();
    const double megabytes = static_cast<double>(text.size()) / 1e6;
    bench::Row row{"manifest", tl::Format("parse + bind a %.1f MB manifest (%d modules)", megabytes, kModules),
                   "MB/s"};
    row.ours.name = "XmlDocument::Parse + Bind";
    row.peers = {{"pugixml", {}}, {"libxml2", {}}};
    row.targets = {{"pugixml", ">=", 0.5}, {"libxml2", ">", 1.0}};
    Timed(text, Ours); // warm the allocator and the caches for all three
    for (int run = 0; run < bench::Runs(); ++run) {
        row.ours.values.push_back(megabytes / Timed(text, Ours));
        row.peers[0].values.push_back(megabytes / Timed(text, Pugixml));
        row.peers[1].values.push_back(megabytes / Timed(text, Libxml2));
    }
    bench::Print(row);
    xmlCleanupParser();
    return 0;
}
