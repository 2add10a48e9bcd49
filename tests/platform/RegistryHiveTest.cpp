#include "platform/RegistryHive.h"

#include <gtest/gtest.h>

using tl::RegistryHive;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

} // namespace

TEST(RegistryHive, SerializesAsRegistryEditorExport) {
    RegistryHive hive("HKEY_CURRENT_USER");
    auto& key = hive.CreateKey("Software\\Fenmore Software\\Tallymar\\Settings");
    key.values.push_back({"HomeDirectory", 1, std::string("\\\\PC\\Bankruptcy \"Cases\"") + '\0'});
    key.values.push_back({"InstallType", 4, Bytes({2, 0, 0, 0})});
    key.values.push_back({"States", 7, Bytes({'N', 'Y', 0, 'C', 'A', 0, 0})});
    key.values.push_back({"", 1, std::string("default") + '\0'});

    EXPECT_EQ(hive.Serialize(), "REGEDIT4\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Fenmore Software]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Fenmore Software\\Tallymar]\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Fenmore Software\\Tallymar\\Settings]\r\n"
                                "\"HomeDirectory\"=\"\\\\\\\\PC\\\\Bankruptcy \\\"Cases\\\"\"\r\n"
                                "\"InstallType\"=dword:00000002\r\n"
                                "\"States\"=hex(7):4e,59,00,43,41,00,00\r\n"
                                "@=\"default\"\r\n\r\n");
}

TEST(RegistryHive, KeepsOddBytesExactlyThroughText) {
    RegistryHive hive("HKEY_LOCAL_MACHINE");
    auto& key = hive.CreateKey("K");
    const std::string multiLine = std::string("two\r\nlines") + '\0';
    const std::string unterminated = "no zero";
    const std::string emptyList = Bytes({0});
    const std::string longBlob(100, '\xAB');
    key.values.push_back({"MultiLine", 1, multiLine});
    key.values.push_back({"Unterminated", 1, unterminated});
    key.values.push_back({"EmptyList", 7, emptyList});
    key.values.push_back({"ShortDword", 4, Bytes({1, 2})});
    key.values.push_back({"Blob", 3, longBlob});
    key.values.push_back({"Qword", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8})});

    const std::string text = hive.Serialize();
    EXPECT_NE(text.find("\"MultiLine\"=hex(1):74,77,6f,0d,0a,"), std::string::npos);
    EXPECT_NE(text.find("\"EmptyList\"=hex(7):00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"Qword\"=hex(b):01,02"), std::string::npos);
    // Long values wrap as the registry editor wraps them: no line past 80 characters.
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
        start = end + 2;
    }

    RegistryHive back("HKEY_LOCAL_MACHINE");
    std::string error;
    ASSERT_TRUE(back.Parse(text, &error)) << error;
    const auto* read = back.FindKey("k");
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->values.size(), 6u);
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(read->values[i].name, key.values[i].name);
        EXPECT_EQ(read->values[i].type, key.values[i].type) << key.values[i].name;
        EXPECT_EQ(read->values[i].data, key.values[i].data) << key.values[i].name;
    }
    EXPECT_EQ(back.Serialize(), text);
}

TEST(RegistryHive, MatchesNamesWithoutRegardToCaseAndKeepsFirstSpelling) {
    RegistryHive hive("HKEY_LOCAL_MACHINE");
    bool created = false;
    hive.CreateKey("Software\\Tallymar", &created);
    EXPECT_TRUE(created);
    hive.CreateKey("SOFTWARE\\TALLYMAR\\", &created);
    EXPECT_FALSE(created);
    ASSERT_NE(hive.FindKey("software\\tallymar"), nullptr);
    EXPECT_EQ(hive.FindKey("software\\tallymar")->path, "Software\\Tallymar");
}

TEST(RegistryHive, DeleteTreeRemovesKeyAndDescendantsOnly) {
    RegistryHive hive("HKEY_LOCAL_MACHINE");
    hive.CreateKey("A\\B\\C");
    hive.CreateKey("A\\B D");
    hive.CreateKey("A\\BB");
    EXPECT_TRUE(hive.DeleteTree("a\\b"));
    EXPECT_EQ(hive.FindKey("A\\B"), nullptr);
    EXPECT_EQ(hive.FindKey("A\\B\\C"), nullptr);
    EXPECT_NE(hive.FindKey("A\\B D"), nullptr);
    EXPECT_NE(hive.FindKey("A\\BB"), nullptr);
    EXPECT_FALSE(hive.DeleteTree("A\\B"));
}

TEST(RegistryHive, RefusesTextThatIsNotAnExport) {
    const char* broken[] = {
        "",
        "hello\r\n",
        "REGEDIT4\r\n\r\n\"Value\"=\"outside a key\"\r\n",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=dword:123\r\n",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=hex:zz\r\n",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V=\"x\"\r\n",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K\r\n",
    };
    for (const char* text : broken) {
        RegistryHive hive("HKEY_LOCAL_MACHINE");
        std::string error;
        EXPECT_FALSE(hive.Parse(text, &error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

TEST(RegistryHive, ReadsHandWrittenExportWithLfLinesAndComments) {
    RegistryHive hive("HKEY_LOCAL_MACHINE");
    std::string error;
    ASSERT_TRUE(hive.Parse(
        "REGEDIT4\n\n; edited by hand\n[HKEY_LOCAL_MACHINE\\K]\n\"B\"=hex:01,\\\n  02,03\n", &error))
        << error;
    ASSERT_NE(hive.FindKey("K"), nullptr);
    EXPECT_EQ(hive.FindKey("K")->values.at(0).data, Bytes({1, 2, 3}));
}
