// XMLReader on any bytes, into a small record tree with every value kind, a list and a map. Whatever it
// reads must write, and what is written must read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
#include "Foundation/XMLMapProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLTypeProxy.h"
#include "Foundation/XMLWriter.h"

namespace fuzz {

enum class Kind { a, b, c };

}   // namespace fuzz

template <>
std::span<const tarnwick::XMLTypeProxy<fuzz::Kind>::EnumText>
tarnwick::XMLTypeProxy<fuzz::Kind>::enumTexts() {
    static constexpr EnumText kTexts[] = {{fuzz::Kind::a, "a"}, {fuzz::Kind::b, "b"}, {fuzz::Kind::c, "c"}};
    return kTexts;
}

namespace fuzz {

using namespace tarnwick;

class Item : public XMLAssembly {
public:
    Item() : XMLAssembly("item") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Item>(*this); }

    Kind kind = Kind::a;
    String text;
    int number = 0;
    unsigned int count = 0;
    double real = 0;
    bool flag = false;
    Guid guid;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        switch (index) {
            case 0:
                return std::make_unique<XMLTypeProxy<Kind>>(kind, kTags[0], true);
            case 1:
                return std::make_unique<XMLTypeProxy<String>>(text, kTags[1], true);
            case 2:
                return std::make_unique<XMLTypeProxy<String>>(text, kTags[2]);
            case 3:
                return std::make_unique<XMLTypeProxy<int>>(number, kTags[3]);
            case 4:
                return std::make_unique<XMLTypeProxy<unsigned int>>(count, kTags[4], true);
            case 5:
                return std::make_unique<XMLTypeProxy<double>>(real, kTags[5]);
            case 6:
                return std::make_unique<XMLTypeProxy<bool>>(flag, kTags[6], true);
            case 7:
                return std::make_unique<XMLTypeProxy<Guid>>(guid, kTags[7], false, "g");
            default:
                return nullptr;
        }
    }

private:
    static constexpr std::string_view kTags[] = {"kind",  "name", "text", "number",
                                                 "count", "real", "flag", "guid"};
};

class Root : public XMLArray {
public:
    Root() : XMLArray("root", "item") {}
    Root(const Root& other) : XMLArray(other), note(other.note) {
        for (const auto& [key, value] : other.byGuid)
            byGuid.set(key, value ? std::make_unique<Item>(*value) : nullptr);
    }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Root>(*this); }
    bool isValid() override { return !note.isEmpty() || getItemCount() != 0 || !byGuid.empty(); }

    String note;
    Map<Guid, Item> byGuid;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Item>(); }
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(note, kTags[0]);
        if (index == 1) return std::make_unique<XMLMapProxy<Item>>(byGuid, kTags[1]);
        return XMLArray::makeChildProxy(index);
    }

private:
    static constexpr std::string_view kTags[] = {"note", "map"};
};

std::string writeText(Root& root) {
    String text;
    DataBufferOut out;
    out.open(text);
    XMLWriter writer(out);
    const bool written = writer.write(root);
    out.close();
    return written ? std::string(text.getView()) : std::string();
}

}   // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fuzz;
    // The first byte picks the input buffer size, so that tokens cross refills.
    const std::size_t bufferSize = size == 0 ? 1 : 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Root root;
    {
        DataBufferIn in(bytes, bufferSize);
        XMLReader reader(in);
        if (!reader.read(root)) {
            // Offsets count bytes of the UTF-8 text, which from UTF-16 or a single-byte encoding may be up
            // to three times as long as the input. Every line but the first follows a CR or LF byte.
            std::size_t breaks = 0;
            for (const char byte : bytes) breaks += byte == '\n' || byte == '\r';
            if (reader.error() == XMLError::none || reader.errorOffset() > 3 * size ||
                reader.errorLine() < 1 || reader.errorLine() > breaks + 1 || reader.errorColumn() < 1 ||
                reader.errorText().empty())
                std::abort();
            return 0;
        }
    }
    // Read records write (unless a value has no text, such as a control character in a CDATA section),
    // and the written text reads back to the same records.
    const std::string first = writeText(root);
    if (first.empty()) return 0;
    Root again;
    DataBufferIn in(first);
    XMLReader reader(in);
    if (!reader.read(again)) std::abort();
    if (writeText(again) != first) std::abort();
    return 0;
}
