// Records of the XML tests: a small mapping table (lists of specifications) with every value kind, and
// helpers that read and write them through memory buffers.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/Guid.h"
#include "Foundation/Map.h"
#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Foundation/XMLArrayProxy.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLMapProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLTypeProxy.h"
#include "Foundation/XMLWriter.h"

namespace xmltest {

using namespace tarnwick;

enum class Kind { object = 4, door = 3, window = 2 };

}   // namespace xmltest

namespace tarnwick {
template <>
inline std::span<const XMLTypeProxy<xmltest::Kind>::EnumText> XMLTypeProxy<xmltest::Kind>::enumTexts() {
    static constexpr EnumText kTexts[] = {
        {xmltest::Kind::door, "door"}, {xmltest::Kind::object, "object"}, {xmltest::Kind::window, "window"}};
    return kTexts;
}
}   // namespace tarnwick

namespace xmltest {

// One mapping: the kind is an attribute left out for "object"; the texts are always written.
class Spec : public XMLAssembly {
public:
    Spec() : XMLAssembly("spec") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Spec>(*this); }
    void clear() override { *this = Spec(); }

    Kind kind = Kind::object;
    String original;
    String mapped;
    int count = 0;
    unsigned int flags = 0;
    double ratio = 0.0;
    bool active = false;
    Guid guid;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        switch (index) {
            case 0:
                return std::make_unique<XMLTypeProxy<Kind>>(kind, kTags[0], true, "", kind != Kind::object);
            case 1:
                return std::make_unique<XMLTypeProxy<String>>(original, kTags[1]);
            case 2:
                return std::make_unique<XMLTypeProxy<String>>(mapped, kTags[2]);
            case 3:
                return std::make_unique<XMLTypeProxy<int>>(count, kTags[3]);
            case 4:
                return std::make_unique<XMLTypeProxy<unsigned int>>(flags, kTags[4], true);
            case 5:
                return std::make_unique<XMLTypeProxy<double>>(ratio, kTags[5]);
            case 6:
                return std::make_unique<XMLTypeProxy<bool>>(active, kTags[6], true);
            case 7:
                return std::make_unique<XMLTypeProxy<Guid>>(guid, kTags[7], false, "", guid.isValid());
            default:
                return nullptr;
        }
    }

private:
    static constexpr std::string_view kTags[] = {"kind",  "original", "mapped", "count",
                                                 "flags", "ratio",    "active", "guid"};
};

// One named list of mappings; valid only with a name.
class SpecList : public XMLArray {
public:
    SpecList() : XMLArray("specList", "spec") {}
    SpecList(const SpecList&) = default;
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<SpecList>(*this); }
    bool isValid() override { return !name.isEmpty(); }
    Spec& spec(std::size_t index) const { return static_cast<Spec&>(getItem(index)); }

    String name;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Spec>(); }
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(name, kTags[0], true);
        return XMLArray::makeChildProxy(index);
    }

private:
    static constexpr std::string_view kTags[] = {"name"};
};

// The root: an optional note, a map of mappings by GUID (left out when empty), then its lists.
class Table : public XMLArray {
public:
    Table() : XMLArray("table", "specList") {}
    Table(const Table& other) : XMLArray(other), note(other.note) {
        for (const auto& [key, value] : other.byGuid)
            byGuid.set(key, value ? std::make_unique<Spec>(*value) : nullptr);
    }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Table>(*this); }
    SpecList& list(std::size_t index) const { return static_cast<SpecList&>(getItem(index)); }
    void clear() override {
        XMLArray::clear();
        note.clear();
        byGuid.clear();
    }

    String note;
    Map<Guid, Spec> byGuid;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<SpecList>(); }
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0)
            return std::make_unique<XMLTypeProxy<String>>(note, kTags[0], false, "", !note.isEmpty());
        if (index == 1)
            return std::make_unique<XMLMapProxy<Spec>>(byGuid, kTags[1], "entry", "id", "", !byGuid.empty());
        return XMLArray::makeChildProxy(index);
    }

private:
    static constexpr std::size_t kTagCount = 2;
    static constexpr std::string_view kTags[kTagCount] = {"note", "byGuid"};
};

inline std::unique_ptr<DataBufferIn> bufferOver(std::string_view bytes,
                                                std::size_t bufferSize = DataBufferIn::kDefaultBufferSize) {
    return std::make_unique<DataBufferIn>(bytes, bufferSize);
}

// Writes with every option on; the text, or "<failed>" when the writer gave false.
inline std::string writeText(XMLAssembly& root, bool lineBreaks = true, bool indentation = true) {
    String text;
    DataBufferOut out;
    out.open(text);
    XMLWriter writer(out);
    const bool written = writer.write(root, true, lineBreaks, indentation);
    out.close();
    return written ? std::string(text.getView()) : std::string("<failed>");
}

struct ReadResult {
    bool ok;
    XMLError error;
    std::size_t offset;
    std::size_t line = 0;
    std::size_t column = 0;
    std::string text;
};

inline ReadResult readText(std::string_view xml, XMLAssembly& root,
                           std::size_t bufferSize = DataBufferIn::kDefaultBufferSize) {
    auto in = bufferOver(xml, bufferSize);
    XMLReader reader(*in);
    const bool ok = reader.read(root);
    return {ok,
            reader.error(),
            reader.errorOffset(),
            reader.errorLine(),
            reader.errorColumn(),
            reader.errorText()};
}

}   // namespace xmltest
