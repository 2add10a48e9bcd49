#include "xml/XmlBlockPool.h"

#include "xml/XmlParseContext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <vector>

TEST(XmlBlockPool, BlocksAreDistinctAlignedAndReusedAcrossSlabs) {
    XmlBlockPool pool(40);
    std::vector<void*> blocks;
    for (int i = 0; i < 5000; ++i) { // several slabs of 64 KiB
        void* block = pool.Allocate();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        std::memset(block, i & 0xFF, 40);
        blocks.push_back(block);
    }
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (int i = 0; i < 5000; ++i)
        EXPECT_EQ(*static_cast<unsigned char*>(blocks[i]), i & 0xFF) << "no block overlaps another";

    // A freed block is the next one handed out; the rest stay where they are.
    pool.Free(blocks[17]);
    EXPECT_EQ(pool.Allocate(), blocks[17]);
    for (void* block : blocks)
        pool.Free(block);
    // With every block back the slabs are gone, and the pool starts again.
    void* fresh = pool.Allocate();
    std::memset(fresh, 0, 40);
    pool.Free(fresh);
    pool.Free(nullptr);
}

TEST(XmlBlockPool, ThreadsShareThePoolOfTheTreesObjects) {
    const auto build = [] {
        for (int round = 0; round < 20; ++round) {
            XmlParseContext factory;
            auto root = factory.CreateElement("root");
            for (int i = 0; i < 500; ++i) {
                auto child = factory.CreateElement("child");
                child->attributes.push_back(std::make_unique<XmlAttribute>("n", std::to_string(i)));
                root->children.push_back(std::move(child));
            }
            ASSERT_EQ(root->children.back()->attributes[0]->value, "499");
        }
    };
    std::thread other(build);
    build();
    other.join();
}
