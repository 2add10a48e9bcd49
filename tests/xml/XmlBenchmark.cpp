// Throughput of the reader, the binder and the writer on a manifest of 50,000 entries (about
// 20 MB). Built with TL_BUILD_BENCHMARKS; run by hand, not by ctest:
//   build/tests/xml/tl_xml_benchmark
#include "platform/Format.h"
#include "xml/XmlDocument.h"
#include "xml/XmlText.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 50000;

// A file manifest: modules with attributes and child elements, about 400 bytes each.
const std::string& ManifestText() {
    static const std::string text = [] {
        const std::string description(220, 'd');
        std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<CurrentVersion>\r\n";
        for (int i = 0; i < kEntries; ++i) {
            out += tl::Format("<Module Name=\"Module%05d.dll\" Flags=\"%d\"><Version>5.1.%d.%d</Version>"
                              "<Description>Smith &amp; Jones %s</Description><Remarks>Fixes &lt;%d&gt; "
                              "issues</Remarks><State>TX</State></Module>\r\n",
                              i, i % 64, i % 10, i, description.c_str(), i);
        }
        out += "</CurrentVersion>\r\n";
        return out;
    }();
    return text;
}

struct Module {
    std::string name, version, description, remarks, state;
    int flags = 0;
};
struct Manifest {
    std::vector<std::unique_ptr<Module>> modules;
};
struct Top {
    std::vector<std::unique_ptr<Manifest>> manifests;
};

void AddManifest(void* target, XmlObject object) {
    static_cast<Top*>(target)->manifests.push_back(XmlTakeObject<Manifest>(object));
}
void AddModule(void* target, XmlObject object) {
    static_cast<Manifest*>(target)->modules.push_back(XmlTakeObject<Module>(object));
}
void SetName(void* target, const std::string& value) {
    static_cast<Module*>(target)->name = value;
}
void SetVersion(void* target, const std::string& value) {
    static_cast<Module*>(target)->version = value;
}
void SetDescription(void* target, const std::string& value) {
    static_cast<Module*>(target)->description = value;
}
void SetRemarks(void* target, const std::string& value) {
    static_cast<Module*>(target)->remarks = value;
}
void SetState(void* target, const std::string& value) {
    static_cast<Module*>(target)->state = value;
}
void SetFlags(void* target, const std::string& value) {
    static_cast<Module*>(target)->flags = XmlTextToBool(value);
}

constexpr XmlRuntimeClass kManifestClass = XmlClassOf<Manifest>("Manifest");
constexpr XmlRuntimeClass kModuleClass = XmlClassOf<Module>("Module");
const XmlBinding kModuleRows[] = {
    {.name = "Name", .setText = SetName},       {.name = "Description", .setText = SetDescription},
    {.name = "Version", .setText = SetVersion}, {.name = "Remarks", .setText = SetRemarks},
    {.name = "State", .setText = SetState},     {.name = "Flags", .setText = SetFlags},
};
const XmlBinding kManifestRows[] = {
    {.childTable = kModuleRows,
     .childCount = 6,
     .name = "Module",
     .runtimeClass = &kModuleClass,
     .attach = AddModule},
};
const XmlBinding kTopRows[] = {
    {.childTable = kManifestRows,
     .childCount = 1,
     .name = "CurrentVersion",
     .runtimeClass = &kManifestClass,
     .attach = AddManifest},
};

void BM_Parse(benchmark::State& state) {
    const std::string& text = ManifestText();
    for (auto _ : state) {
        XmlDocument document(false);
        benchmark::DoNotOptimize(document.Parse(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ParseAndBind(benchmark::State& state) {
    const std::string& text = ManifestText();
    for (auto _ : state) {
        XmlDocument document(false);
        document.Parse(text);
        Top top;
        document.Bind(kTopRows, 1, &top);
        if (top.manifests.size() != 1 || top.manifests[0]->modules.size() != kEntries)
            state.SkipWithError("binding lost entries");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_Write(benchmark::State& state) {
    XmlDocument document(false);
    document.Parse(ManifestText());
    std::string output;
    for (auto _ : state) {
        document.Write(output, "<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(output.size()));
    state.counters["MB"] = static_cast<double>(output.size()) / 1e6;
}

// The uninstall manifest's shape: one root with 50,000 DeleteFile entries of long paths.
void BM_WriteUninstallManifest(benchmark::State& state) {
    XmlParseContext factory;
    XmlDocument document(false);
    auto& root = document.roots.emplace_back(factory.CreateElement("TallymarUninstall"));
    const std::string folder = "C:\\Program Files\\Smith & Jones\\" + std::string(340, 'f') + "\\";
    for (int i = 0; i < kEntries; ++i) {
        auto entry = factory.CreateElement("DeleteFile");
        entry->SetText(folder + tl::Format("File%05d.dll", i));
        root->children.push_back(std::move(entry));
    }
    std::string output;
    for (auto _ : state) {
        document.Write(output, "<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(output.size()));
    state.counters["MB"] = static_cast<double>(output.size()) / 1e6;
}

} // namespace

BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndBind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteUninstallManifest)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
