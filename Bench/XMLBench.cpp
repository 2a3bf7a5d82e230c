// XML reading and writing against expat, libxml2 (SAX) and pugixml, on one object-mapping-table-like
// text of about 20 MB built in memory. Every peer parses the same bytes (pugixml with its default flags);
// the typed read builds the whole record tree and drops it again, as pugixml builds and drops its
// document. pugixml is measured twice: its bare parse, and its parse followed by the same records built
// from its document, which is what the typed read gives. Prints each peer's speed ratio at the end, and what
// the records alone cost: the same tree copied and dropped again, with no text at all, which no read of it
// can beat.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <expat.h>
#include <libxml/parser.h>
#include <malloc.h>
#include <pugixml.hpp>

#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Foundation/XMLArrayProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLTypeProxy.h"
#include "Foundation/XMLValueChild.h"
#include "Foundation/XMLWriter.h"

namespace bench {

using namespace tarnwick;

enum class SourceKind { ifc, dwg, gsm, missing, legacy };
enum class PartType { window = 2, door = 3, object = 4, lamp = 5 };

}   // namespace bench

namespace tarnwick {
template <>
std::span<const XMLTypeProxy<bench::SourceKind>::EnumText> XMLTypeProxy<bench::SourceKind>::enumTexts() {
    using bench::SourceKind;
    static constexpr EnumText kTexts[] = {{SourceKind::ifc, "IFC"},
                                          {SourceKind::dwg, "DWG"},
                                          {SourceKind::gsm, "GSM"},
                                          {SourceKind::missing, "missing"},
                                          {SourceKind::legacy, "legacy"}};
    return kTexts;
}
template <>
std::span<const XMLTypeProxy<bench::PartType>::EnumText> XMLTypeProxy<bench::PartType>::enumTexts() {
    using bench::PartType;
    static constexpr EnumText kTexts[] = {{PartType::door, "door"},
                                          {PartType::lamp, "lamp"},
                                          {PartType::object, "object"},
                                          {PartType::window, "window"}};
    return kTexts;
}
}   // namespace tarnwick

namespace bench {

// <parameter name= type= columnCount=><value>..</value>...</parameter>: the values are a list of texts.
class Parameter : public XMLAssembly {
public:
    Parameter() : XMLAssembly("parameter") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Parameter>(*this); }
    std::size_t getChildCount() const override { return 3 + values.size(); }
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        if (!attribute && name == "value")
            return std::make_unique<XMLTypeProxy<String>>(values.emplace_back(), "value");
        return XMLAssembly::findChild(name, attribute);
    }
    bool isValid() override { return !name.isEmpty() && columns >= 1 && values.size() % columns == 0; }
    std::span<const XMLValueChild> getValueChildren() const override { return kValues; }

    String name;
    String type;
    int columns = 1;
    std::vector<String> values;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        switch (index) {
            case 0:
                return std::make_unique<XMLTypeProxy<String>>(name, kTags[0], true);
            case 1:
                return std::make_unique<XMLTypeProxy<String>>(type, kTags[1], true);
            case 2:
                return std::make_unique<XMLTypeProxy<int>>(columns, kTags[2], true, "", columns != 1);
            default:
                return std::make_unique<XMLTypeProxy<String>>(values[index - 3], "value");
        }
    }

private:
    static constexpr std::string_view kTags[] = {"name", "type", "columnCount"};
    static constexpr XMLValueChild kValues[] = {XMLValueChild::of<&Parameter::name>(kTags[0]),
                                                XMLValueChild::of<&Parameter::type>(kTags[1]),
                                                XMLValueChild::of<&Parameter::columns>(kTags[2])};
};

class ParameterList : public XMLArray {
public:
    ParameterList() : XMLArray("customParameters", "parameter") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<ParameterList>(*this); }

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Parameter>(); }
};

class ObjectSpecification : public XMLAssembly {
public:
    ObjectSpecification() : XMLAssembly("objectSpecification") {}
    std::unique_ptr<XMLAssembly> clone() const override {
        return std::make_unique<ObjectSpecification>(*this);
    }
    std::span<const XMLValueChild> getValueChildren() const override { return kValues; }

    PartType mappedType = PartType::object;
    String originalName;
    String mappedName;
    String mappedObjectGuid;
    ParameterList parameters;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        switch (index) {
            case 0:
                return std::make_unique<XMLTypeProxy<PartType>>(mappedType, kTags[0], true, "",
                                                                mappedType != PartType::object);
            case 1:
                return std::make_unique<XMLTypeProxy<String>>(originalName, kTags[1]);
            case 2:
                return std::make_unique<XMLTypeProxy<String>>(mappedName, kTags[2]);
            case 3:
                return std::make_unique<XMLTypeProxy<String>>(mappedObjectGuid, kTags[3]);
            case 4:
                return std::make_unique<XMLArrayProxy>(parameters, kTags[4], false, "",
                                                       parameters.getItemCount() != 0);
            default:
                return nullptr;
        }
    }

private:
    static constexpr std::string_view kTags[] = {"mappedType", "originalName", "mappedName",
                                                 "mappedObjectGuid", "customParameters"};
    static constexpr XMLValueChild kValues[] = {
        XMLValueChild::of<&ObjectSpecification::mappedType>(kTags[0]),
        XMLValueChild::of<&ObjectSpecification::originalName>(kTags[1]),
        XMLValueChild::of<&ObjectSpecification::mappedName>(kTags[2]),
        XMLValueChild::of<&ObjectSpecification::mappedObjectGuid>(kTags[3])};
};

class SpecificationList : public XMLArray {
public:
    SpecificationList() : XMLArray("specificationList", "objectSpecification") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<SpecificationList>(*this); }
    bool isValid() override { return !sourceName.isEmpty(); }
    std::span<const XMLValueChild> getValueChildren() const override { return kValues; }

    String sourceName;
    SourceKind kind = SourceKind::ifc;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<ObjectSpecification>(); }
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(sourceName, kTags[0], true);
        if (index == 1) return std::make_unique<XMLTypeProxy<SourceKind>>(kind, kTags[1], true);
        return XMLArray::makeChildProxy(index);
    }

private:
    static constexpr std::string_view kTags[] = {"sourceName", "objectType"};
    static constexpr XMLValueChild kValues[] = {XMLValueChild::of<&SpecificationList::sourceName>(kTags[0]),
                                                XMLValueChild::of<&SpecificationList::kind>(kTags[1])};
};

class ObjectMap : public XMLArray {
public:
    ObjectMap() : XMLArray("objectMap", "specificationList") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<ObjectMap>(*this); }

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<SpecificationList>(); }
};

// About 20 MB: five kinds, a few configurations each, mappings with names that need escaping now and then.
std::unique_ptr<ObjectMap> makeTable(std::size_t targetBytes) {
    auto table = std::make_unique<ObjectMap>();
    static constexpr const char* kTypes[] = {"length", "angle", "string", "material", "boolean"};
    std::size_t bytes = 0;
    for (int list = 0; bytes < targetBytes; ++list) {
        auto& specs = static_cast<SpecificationList&>(table->addItem(std::make_unique<SpecificationList>()));
        specs.sourceName = String(("Configuration " + std::to_string(list)).c_str());
        specs.kind = static_cast<SourceKind>(list % 5);
        for (int n = 0; n < 2000 && bytes < targetBytes; ++n) {
            auto& spec =
                static_cast<ObjectSpecification&>(specs.addItem(std::make_unique<ObjectSpecification>()));
            spec.mappedType = static_cast<PartType>(2 + n % 4);
            spec.originalName = String(("IfcFurnishingElement Office Chair " + std::to_string(n) +
                                        (n % 10 == 0 ? " & Co <left>" : ""))
                                           .c_str());
            spec.mappedName = String(("Chair Swivel " + std::to_string(n % 97) + " 22").c_str());
            spec.mappedObjectGuid =
                "{1B2C3D4E-0000-4A5B-9C8D-112233445566}-{6F5E4D3C-1111-4B2A-8C9D-665544332211}";
            bytes += 330;
            for (int p = 0; p < n % 4; ++p) {
                auto parameter = std::make_unique<Parameter>();
                parameter->name = String(("par" + std::to_string(p)).c_str());
                parameter->type = kTypes[(n + p) % 5];
                parameter->columns = p == 2 ? 2 : 1;
                for (int v = 0; v < (p == 2 ? 4 : 1); ++v)
                    parameter->values.emplace_back(String(std::to_string(0.25 * (v + n)).c_str()));
                bytes += 60 + 20 * parameter->values.size();
                spec.parameters.addItem(std::move(parameter));
            }
        }
    }
    return table;
}

// What a user of pugixml writes for the same records: parse, then walk the document and fill them, with
// the same checks the typed read makes (a refused enumeration text or an invalid record fails).
template <typename Enum>
bool enumFromText(const char* text, Enum& value) {
    for (const auto& entry : XMLTypeProxy<Enum>::enumTexts()) {
        if (entry.text == text) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

bool recordsFromDocument(const pugi::xml_document& document, ObjectMap& table) {
    const pugi::xml_node root = document.child("objectMap");
    if (!root) return false;
    for (const pugi::xml_node listNode : root.children("specificationList")) {
        auto& specs = static_cast<SpecificationList&>(table.addItem(std::make_unique<SpecificationList>()));
        specs.sourceName = listNode.attribute("sourceName").value();
        if (const pugi::xml_attribute kind = listNode.attribute("objectType"))
            if (!enumFromText(kind.value(), specs.kind)) return false;
        if (!specs.isValid()) return false;
        for (const pugi::xml_node specNode : listNode.children("objectSpecification")) {
            auto& spec =
                static_cast<ObjectSpecification&>(specs.addItem(std::make_unique<ObjectSpecification>()));
            if (const pugi::xml_attribute type = specNode.attribute("mappedType"))
                if (!enumFromText(type.value(), spec.mappedType)) return false;
            spec.originalName = specNode.child_value("originalName");
            spec.mappedName = specNode.child_value("mappedName");
            spec.mappedObjectGuid = specNode.child_value("mappedObjectGuid");
            for (const pugi::xml_node parameterNode :
                 specNode.child("customParameters").children("parameter")) {
                auto parameter = std::make_unique<Parameter>();
                parameter->name = parameterNode.attribute("name").value();
                parameter->type = parameterNode.attribute("type").value();
                parameter->columns = parameterNode.attribute("columnCount").as_int(1);
                for (const pugi::xml_node value : parameterNode.children("value"))
                    parameter->values.emplace_back(value.child_value());
                if (!parameter->isValid()) return false;
                spec.parameters.addItem(std::move(parameter));
            }
        }
    }
    return true;
}

struct Fixture {
    std::unique_ptr<ObjectMap> table = makeTable(20u << 20);
    std::string xml;
    Fixture() {
        String text;
        DataBufferOut out;
        out.open(text);
        XMLWriter writer(out);
        if (!writer.write(*table) || !out.close()) std::fprintf(stderr, "the writer failed\n");
        xml.assign(text.getView());
        checkRoundTrip();
    }
    // The typed read must give back every record: written again, its tree makes the same bytes.
    void checkRoundTrip() const {
        DataBufferIn in(std::string_view(xml), 1 << 20);
        XMLReader reader(in);
        ObjectMap copy;
        String again;
        DataBufferOut out;
        out.open(again);
        XMLWriter writer(out);
        if (!reader.read(copy) || !writer.write(copy) || !out.close() || again.getView() != xml) {
            std::fprintf(stderr, "the typed read does not give back what was written\n");
            std::exit(1);
        }
        pugi::xml_document document;
        ObjectMap peer;
        String peerText;
        DataBufferOut peerOut;
        peerOut.open(peerText);
        XMLWriter peerWriter(peerOut);
        if (!document.load_buffer(xml.data(), xml.size()) || !recordsFromDocument(document, peer) ||
            !peerWriter.write(peer) || !peerOut.close() || peerText.getView() != xml) {
            std::fprintf(stderr, "the records built from pugixml's document differ from what was written\n");
            std::exit(1);
        }
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void BM_ReadTypedRecords(benchmark::State& state) {
    const std::string& xml = fixture().xml;
    for (auto _ : state) {
        DataBufferIn in(std::string_view(xml), 1 << 20);
        XMLReader reader(in);
        ObjectMap table;
        if (!reader.read(table)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(table.getItemCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

// Every record and String of the tree made and freed as a read makes and frees them, without the text.
void BM_RecordsAlone(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const std::unique_ptr<XMLAssembly> copy = f.table->clone();
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.xml.size()));
}

void BM_WriteTypedRecords(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        String text;
        DataBufferOut out;
        out.open(text);
        XMLWriter writer(out);
        if (!writer.write(*f.table) || !out.close()) state.SkipWithError("write failed");
        benchmark::DoNotOptimize(text.getByteLength());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.xml.size()));
}

void BM_Expat(benchmark::State& state) {
    const std::string& xml = fixture().xml;
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        std::size_t elements = 0;
        XML_SetUserData(parser, &elements);
        XML_SetElementHandler(
            parser, [](void* data, const XML_Char*, const XML_Char**) { ++*static_cast<std::size_t*>(data); },
            [](void*, const XML_Char*) {});
        XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
        if (XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) != XML_STATUS_OK)
            state.SkipWithError("expat failed");
        XML_ParserFree(parser);
        benchmark::DoNotOptimize(elements);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

void BM_Libxml2Sax(benchmark::State& state) {
    const std::string& xml = fixture().xml;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = [](void* data, const xmlChar*, const xmlChar*, const xmlChar*, int,
                                const xmlChar**, int, int,
                                const xmlChar**) { ++*static_cast<std::size_t*>(data); };
    handler.characters = [](void*, const xmlChar*, int) {};
    for (auto _ : state) {
        std::size_t elements = 0;
        if (xmlSAXUserParseMemory(&handler, &elements, xml.data(), static_cast<int>(xml.size())) != 0)
            state.SkipWithError("libxml2 failed");
        benchmark::DoNotOptimize(elements);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

void BM_Pugixml(benchmark::State& state) {
    const std::string& xml = fixture().xml;
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_buffer(xml.data(), xml.size())) state.SkipWithError("pugixml failed");
        benchmark::DoNotOptimize(document.first_child());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

// pugixml's parse followed by the same records built from its document: what its user pays for them.
void BM_PugixmlRecords(benchmark::State& state) {
    const std::string& xml = fixture().xml;
    for (auto _ : state) {
        ObjectMap table;
        {
            pugi::xml_document document;
            if (!document.load_buffer(xml.data(), xml.size()) || !recordsFromDocument(document, table))
                state.SkipWithError("pugixml records failed");
        }
        benchmark::DoNotOptimize(table.getItemCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

// Keeps every run's speed so that main can print the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto found = run.counters.find("bytes_per_second");
            if (found == run.counters.end() || run.error_occurred) continue;
            const std::string name = run.benchmark_name();
            speeds[name.substr(0, name.find('/'))] = found->second.value;   // without "/min_time:..."
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> speeds;   // bytes per second
};

}   // namespace bench

BENCHMARK(bench::BM_ReadTypedRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_RecordsAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_WriteTypedRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_Expat)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_Libxml2Sax)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_Pugixml)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(bench::BM_PugixmlRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    // The same warm heap for every peer, whatever the order of the runs: glibc otherwise maps blocks of
    // a few MB afresh (and pays a page fault for each 4 KB of them) until a large free has raised its
    // thresholds, so that whoever runs first pays for everybody.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    std::printf("input: %.1f MB of XML\n", static_cast<double>(bench::fixture().xml.size()) / (1 << 20));
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& speeds = reporter.speeds;
    const auto speed = [&speeds](const char* name) {
        const auto found = speeds.find(std::string("bench::") + name);
        return found == speeds.end() ? 0.0 : found->second;
    };
    const double read = speed("BM_ReadTypedRecords");
    const double write = speed("BM_WriteTypedRecords");
    constexpr double kMiB = 1 << 20;
    std::printf(
        "\nMiB/s: read %.0f, write %.0f, expat %.0f, libxml2 SAX %.0f, pugixml %.0f, pugixml with "
        "records %.0f\n",
        read / kMiB, write / kMiB, speed("BM_Expat") / kMiB, speed("BM_Libxml2Sax") / kMiB,
        speed("BM_Pugixml") / kMiB, speed("BM_PugixmlRecords") / kMiB);
    for (const char* peer : {"BM_Expat", "BM_Libxml2Sax", "BM_Pugixml"}) {
        if (speed(peer) > 0)
            std::printf("typed read / %-14s %.2f   write / %-14s %.2f\n", peer + 3, read / speed(peer),
                        peer + 3, write / speed(peer));
    }
    if (read > 0 && speed("BM_PugixmlRecords") > 0)
        std::printf("typed read / pugixml parse and the same records %.2f\n",
                    read / speed("BM_PugixmlRecords"));
    if (read > 0) std::printf("write / read %.2f\n", write / read);
    // Time shares: how much of pugixml's parse the records alone take, and how much of the typed read.
    if (const double alone = speed("BM_RecordsAlone"); alone > 0) {
        if (speed("BM_Pugixml") > 0)
            std::printf("records alone, time / pugixml parse %.2f\n", speed("BM_Pugixml") / alone);
        if (read > 0) std::printf("records alone, time / typed read %.2f\n", read / alone);
    }
    benchmark::Shutdown();
    return 0;
}
