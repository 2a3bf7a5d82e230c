// The legacy binary style file on any bytes: a refused file says where it broke and keeps only the
// styles read before that; every record handed over has a valid key, and reading the same bytes again
// through a one-byte buffer gives the same result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "Foundation/DataBufferIn.h"
#include "Foundation/Guid.h"
#include "Foundation/Setting.h"
#include "Foundation/String.h"
#include "Styles/LegacyStyleFile.h"
#include "Styles/UserRecord.h"

namespace {

using namespace tarnwick;

class Style final : public UserRecord {
public:
    Style() : UserRecord("style") {}
    String getName() const override { return name; }
    String getListName() const override { return name; }
    bool differs(const UserRecord&) const override { return true; }
    bool isDeleted() const override { return false; }
    bool isHighlighted() const override { return false; }
    void setName(const String& text) override { name = text; }
    void setDeleted(bool) override {}
    void setModified(const DateTime&) override {}
    void beforePackageChange() override {}
    std::shared_ptr<UserRecord> cloneRecord() const override { return std::make_shared<Style>(*this); }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Style>(*this); }
    String getTypeName() const override { return String("style"); }
    bool setSetting(const String&, const Setting& value, std::uint32_t) override {
        (void)value.getText();
        ++values;
        return true;
    }
    void setImporting(bool) override {}
    String name;
    std::size_t values = 0;
};

class Target final : public LegacyStyleFile::Target {
public:
    std::shared_ptr<UserRecord> makeRecord(const String& typeKey, const String& name) override {
        if (typeKey.getView() != "wallStyle" && typeKey.getView() != "a") return nullptr;
        auto record = std::make_shared<Style>();
        record->setName(name);
        return record;
    }
    void put(const Guid& key, const std::shared_ptr<UserRecord>& record) override {
        if (!key.isValid() || !record) std::abort();
        ++puts;
    }
    std::size_t puts = 0;
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Target first, second;
    LegacyStyleFile file, again;
    DataBufferIn in(bytes), oneByte(bytes, 1);
    const bool read = file.read(in, first);
    if (read != again.read(oneByte, second) || first.puts != second.puts) std::abort();
    if (file.getImportedCount() != first.puts) std::abort();
    if (!read && !file.getError().getView().starts_with("byte ")) std::abort();
    return 0;
}
