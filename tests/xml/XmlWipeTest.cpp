#include "tests/xml/XmlTestSupport.h"
#include "xml/XmlDocument.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <malloc.h>
#include <new>
#include <string>

// Replaces the global allocation functions of this test program so that released storage can be
// inspected: while a test watches, every block given back is searched for a marker text.
namespace {

constexpr char kMarker[] = "CONFIDENTIAL-4711-CONFIDENTIAL";
std::atomic<bool> watching{false};
std::atomic<int> leaks{0};

void Inspect(void* block, std::size_t size) {
    if (!watching || block == nullptr)
        return;
    const std::size_t length = sizeof kMarker - 1;
    if (size >= length && ::memmem(block, size, kMarker, length) != nullptr)
        ++leaks;
}

} // namespace

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
// Without sized deallocation (clang before 19) only this one is called.
void operator delete(void* block) noexcept {
    if (block != nullptr)
        Inspect(block, ::malloc_usable_size(block));
    std::free(block);
}
void operator delete(void* block, std::size_t size) noexcept {
    Inspect(block, size);
    std::free(block);
}

namespace {

class XmlWipe : public ::testing::Test {
protected:
    static void Watch() {
        leaks = 0;
        watching = true;
    }
    ~XmlWipe() override { watching = false; }
};

} // namespace

TEST_F(XmlWipe, TextsAndAttributeValuesAreWipedBeforeRelease) {
    const std::string marker = kMarker;
    const std::string text = "<a v=\"" + marker + "\" w='" + marker + "'><b>" + marker + "</b><c>" + marker +
                             "<d/>" + marker + " again</c></a>";
    Watch();
    {
        XmlDocument document(false);
        ASSERT_TRUE(document.Parse(text));
        document.roots[0]->children[0]->SetText("replaced");
        XmlParseContext factory;
        auto built = factory.CreateElement("e");
        built->SetText(marker);
        built->attributes.push_back(std::make_unique<XmlAttribute>("x", marker));
    }
    watching = false;
    EXPECT_EQ(leaks, 0);
}

TEST_F(XmlWipe, TheWatchSeesUnwipedStorage) {
    Watch();
    { auto plain = std::make_unique<std::string>(kMarker); }
    watching = false;
    EXPECT_EQ(leaks, 1) << "the test above proves nothing when this one fails";
}
